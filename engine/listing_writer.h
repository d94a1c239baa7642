// The listing for programs (-l): the files read, then one record per
// occurrence and action, in report order. A stable interface; see
// docs/command-line.md.
//
//   file<TAB>PATH
//   SCANNED<TAB>MATCHED<TAB>FILE<TAB>LINE<TAB>TEXT
#ifndef PENDRA_ENGINE_LISTING_WRITER_H_
#define PENDRA_ENGINE_LISTING_WRITER_H_

#include <memory>
#include <string>
#include <string_view>

#include "common/date.h"
#include "engine/scan_window.h"

namespace engine {

// Appends "YYYY-MM-DD" (the whole year past 9999).
void appendIsoDate(std::string* out, const pendra::Date& d);

// Appends text with backslash, TAB and line end (LF, CR) written "\\",
// "\t", "\n"; nothing else is changed.
void appendListingText(std::string* out, std::string_view text);

// Writes the records on the run's standard output.
std::unique_ptr<OccurrenceWriter> makeListingWriter(const RunInfo& run);

}  // namespace engine

#endif  // PENDRA_ENGINE_LISTING_WRITER_H_
