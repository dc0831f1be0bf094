// One include, as a source file of the probed library would write it.
#include PROBE_HEADER
