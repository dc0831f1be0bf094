#pragma once

#include "acquire/SampleSource.h"

#include <memory>

class TMain1;
struct MainState;

// The three kinds of source InputSource numbers.
enum class SourceKind { ParallelPort, Board, SigrokDevice };

// The kind of source InputSource names (0, 1, 2): the one place that reads
// the number.
SourceKind ChosenSourceKind(const MainState& state);

// The source object for the window's chosen source (InputSource: 0 the
// parallel port at PortBase in its chosen mode, 1 the K8055 board, 2 the
// sigrok device). The one place that tells the three apart for recording.
std::unique_ptr<acquire::SampleSource> MakeSampleSource(TMain1& main);

// What the chosen source makes of a recording's request: a sigrok device adds
// the lines, trigger and pre-trigger share of its set-up; the port and the
// board record as they always did.
void ShapeRequest(TMain1& main, acquire::RunRequest& request);
