#include "BusCommands.h"

#include "BusDialog.h"
#include "BusSettings.h"
#include "TMain1.h"
#include "ViewCommands.h"
#include "display/BusRows.h"
#include "sigrok/SigrokImport.h"

BusCommands::BusCommands(TMain1& main) : QObject(&main), main_(main) {}

void BusCommands::Connect() {
    main_.Ui().BusRows1->SetBuses(ReadBuses(main_.Config()));
    main_.OnAction(QStringLiteral("Busse1"), [this] { Busse1Click(); });
}

void BusCommands::Busse1Click() {
    BusDialog dialog(&main_, main_.Ui().BusRows1->Buses());
    if (dialog.exec() != QDialog::Accepted) return;
    SetBuses(dialog.Buses());
}

void BusCommands::SetBuses(std::vector<trazor::BusDef> buses) {
    WriteBuses(main_.Config(), buses);
    main_.Ui().BusRows1->SetBuses(std::move(buses));
    main_.View().FormResize();
}

void BusCommands::AdoptImported(const std::vector<sigrok::LineGroup>& groups) {
    if (groups.empty()) return;
    std::vector<trazor::BusDef> buses;
    for (const sigrok::LineGroup& group : groups)
        buses.push_back({QString::fromStdString(group.name), group.lines});
    SetBuses(std::move(buses));
}
