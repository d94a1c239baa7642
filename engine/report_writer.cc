#include "engine/report_writer.h"

#include <cstdio>
#include <string>

#include "engine/diagnostics.h"
#include "engine/output.h"

namespace engine {

namespace {

class ReportWriter final : public OccurrenceWriter {
 public:
  explicit ReportWriter(const RunInfo& run)
      : port_(*run.port), today_(run.today), headers_(run.before != 0 || run.after != 0) {}

  void occurrence(const Reminder& entry, const pendra::Date& scanned,
                  const pendra::Date& matched) override {
    pendra::Date occurrence = entry.specifier->occurrence(scanned);
    // With -k an entry whose field fails is left out: its lines are printed
    // only once all of them are complete.
    scheme::OutputPort& out = keepGoing() ? static_cast<scheme::OutputPort&>(held_) : port_;
    held_.text.clear();
    for (const auto& action : entry.actions) {
      if (headers_) {
        if (!headerDay_.sameDay(scanned)) formatHeader(scanned);
        out.putText(header_);
      }
      action->write(out, scanned, occurrence, matched);
    }
    if (keepGoing()) port_.write(held_.text.data(), held_.text.size());
  }

 private:
  // "  ---today---  : " or "thu  7 jul 2005: ".
  void formatHeader(const pendra::Date& day) {
    headerDay_ = day;
    if (day.sameDay(today_)) {
      std::snprintf(header_, sizeof header_, "  ---today---  : ");
    } else {
      std::snprintf(header_, sizeof header_, "%s %2d %s %d: ", pendra::kWeekdayNames[day.weekday],
                    day.day, pendra::kMonthNames[day.month], static_cast<int>(day.year));
    }
  }

  StdoutPort& port_;
  StringPort held_;  // an entry's lines until they are complete
  pendra::Date today_;
  bool headers_;
  pendra::Date headerDay_;  // the day header_ is for; none at first
  char header_[64];
};

}  // namespace

std::unique_ptr<OccurrenceWriter> makeReportWriter(const RunInfo& run) {
  return std::make_unique<ReportWriter>(run);
}

}  // namespace engine
