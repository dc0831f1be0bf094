#include "front/ManPage.h"

#include <fstream>
#include <iostream>

// Writes the manual page to the file the build names.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Aufruf: spurwerk_manpage AUSGABE\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << usage::ManPage();
    out.close();
    if (!out) {
        std::cerr << "spurwerk_manpage: " << argv[1] << " lässt sich nicht schreiben\n";
        return 1;
    }
    return 0;
}
