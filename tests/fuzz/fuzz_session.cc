#include "tests/fuzz/fuzz_session.h"

#include "engine/engine.h"
#include "engine/error.h"

namespace fuzz {

Session::Session(const uint8_t* data, size_t size)
    : in_(std::make_unique<scheme::Interpreter>(out_, hooks_)) {
  engine::useInterpreter(*in_);
  in_->setCallLimit(kCallLimit);
  in_->setHeapLimit(kHeapLimit);
  std::string text(reinterpret_cast<const char*>(data), size);
  reader_ = std::make_unique<engine::ReminderReader>(
      *in_, std::make_unique<engine_test::StringInput>(std::move(text), "fuzz.pnd"));
  engine::setCurrentReader(nullptr);
}

Session::~Session() {
  entries_.clear();
  reader_.reset();
}

void Session::readEntries() {
  while (entries_.size() < 1024) {
    try {
      std::unique_ptr<engine::Reminder> entry = engine::readEntry(*reader_);
      if (!entry) return;
      entries_.push_back(std::move(entry));
    } catch (const engine::PDErrorType& e) {
      if (e.fatal) return;
    }
  }
}

pendra::Date dayOf(int64_t number) { return pendra::Date::fromNumber(number); }

}  // namespace fuzz
