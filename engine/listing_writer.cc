#include "engine/listing_writer.h"

#include <cstdint>
#include <vector>

#include "engine/diagnostics.h"
#include "engine/output.h"
#include "engine/platform.h"
#include "scheme/host.h"

namespace engine {

void appendIsoDate(std::string* out, const pendra::Date& d) {
  char digits[12];
  int n = 0;
  for (uint32_t y = d.year; y != 0 || n < 4; y /= 10) digits[n++] = static_cast<char>('0' + y % 10);
  while (n > 0) out->push_back(digits[--n]);
  const char text[6] = {
      '-', static_cast<char>('0' + d.month / 10), static_cast<char>('0' + d.month % 10),
      '-', static_cast<char>('0' + d.day / 10),   static_cast<char>('0' + d.day % 10)};
  out->append(text, sizeof text);
}

void appendListingText(std::string* out, std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    const char* escaped = c == '\\'                ? "\\\\"
                          : c == '\t'              ? "\\t"
                          : c == '\n' || c == '\r' ? "\\n"
                                                   : nullptr;
    if (escaped == nullptr) continue;
    out->append(text.substr(start, i - start)).append(escaped, 2);
    start = i + 1;
  }
  out->append(text.substr(start));
}

namespace {

bool needsEscapes(std::string_view text) {
  for (char c : text) {
    if (c == '\\' || c == '\t' || c == '\n' || c == '\r') return true;
  }
  return false;
}

class ListingWriter final : public OccurrenceWriter {
 public:
  explicit ListingWriter(const RunInfo& run) : out_(run.out), files_(*run.filesRead) {}

  void begin(const std::vector<std::unique_ptr<Reminder>>& entries) override {
    setBinaryMode(out_);  // records end in LF on every system
    // Every entry's place, in an open-addressed table at most half full.
    size_t size = 16;
    while (size < 2 * entries.size()) size *= 2;
    slots_.assign(size, Slot{});
    for (const auto& entry : entries) {
      Slot& slot = slots_[find(entry.get())];
      slot.entry = entry.get();
      appendListingText(&slot.place, entry->file);
      slot.place.append("\t").append(std::to_string(entry->line)).append("\t");
    }
    for (const std::string& file : files_) {
      buffer_.append("file\t");
      appendListingText(&buffer_, file);
      buffer_.push_back('\n');
    }
  }

  void occurrence(const Reminder& entry, const pendra::Date& scanned,
                  const pendra::Date& matched) override {
    pendra::Date occurrence = entry.specifier->occurrence(scanned);
    if (!scanned.sameDay(scannedDay_)) {
      scannedDay_ = scanned;
      scannedText_.clear();
      appendIsoDate(&scannedText_, scanned);
      scannedText_.push_back('\t');
    }
    const std::string& place = placeOf(entry);
    // A field that fails (with -k) leaves out the entry's records of the day.
    const size_t mark = buffer_.size();
    try {
      writeRecords(entry, scanned, matched, occurrence, place);
    } catch (const SchemeAbort&) {
      buffer_.resize(mark);
      throw;
    }
    if (buffer_.size() >= kFlushSize) flush();
  }

  void end() override { flush(); }

 private:
  void writeRecords(const Reminder& entry, const pendra::Date& scanned, const pendra::Date& matched,
                    const pendra::Date& occurrence, const std::string& place) {
    for (const auto& action : entry.actions) {
      buffer_.append(scannedText_);
      if (matched.sameDay(scanned)) {
        buffer_.append(scannedText_);
      } else {
        appendIsoDate(&buffer_, matched);
        buffer_.push_back('\t');
      }
      buffer_.append(place);
      // The text as the report prints it, straight into the buffer; the
      // rare one that needs escapes is rewritten.
      size_t start = buffer_.size();
      action->write(port_, scanned, occurrence, matched);
      if (buffer_.size() > start && buffer_.back() == '\n') buffer_.pop_back();  // the report's
      if (needsEscapes(std::string_view(buffer_).substr(start))) {
        std::string text = buffer_.substr(start);
        buffer_.resize(start);
        appendListingText(&buffer_, text);
      }
      buffer_.push_back('\n');
    }
  }

  static constexpr size_t kFlushSize = 1 << 16;
  void flush() {
    writeBytes(out_, buffer_.data(), buffer_.size());
    buffer_.clear();
  }

  // "FILE<TAB>LINE<TAB>" of an entry.
  struct Slot {
    const Reminder* entry = nullptr;
    std::string place;
  };
  // The slot that holds entry, or the free one where it goes.
  size_t find(const Reminder* entry) const {
    size_t mask = slots_.size() - 1;
    size_t i =
        static_cast<size_t>((reinterpret_cast<uintptr_t>(entry) >> 4) * 0x9e3779b97f4a7c15u >> 40) &
        mask;
    while (slots_[i].entry != entry && slots_[i].entry != nullptr) i = (i + 1) & mask;
    return i;
  }
  const std::string& placeOf(const Reminder& entry) const { return slots_[find(&entry)].place; }

  std::FILE* out_;
  const std::vector<std::string>& files_;
  std::vector<Slot> slots_;
  pendra::Date scannedDay_;           // the day scannedText_ shows
  std::string scannedText_;           // "YYYY-MM-DD<TAB>"
  StringPort port_;                   // actions write their texts here,
  std::string& buffer_ = port_.text;  // straight into the records
};

}  // namespace

std::unique_ptr<OccurrenceWriter> makeListingWriter(const RunInfo& run) {
  return std::make_unique<ListingWriter>(run);
}

}  // namespace engine
