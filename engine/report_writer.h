// The report for people: each action's text, after a day header when a
// window was asked for.
#ifndef PENDRA_ENGINE_REPORT_WRITER_H_
#define PENDRA_ENGINE_REPORT_WRITER_H_

#include <memory>

#include "engine/scan_window.h"

namespace engine {

// Writes on the run's port, where Scheme output goes too, so that both
// stay in order.
std::unique_ptr<OccurrenceWriter> makeReportWriter(const RunInfo& run);

}  // namespace engine

#endif  // PENDRA_ENGINE_REPORT_WRITER_H_
