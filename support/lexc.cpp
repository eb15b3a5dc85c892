#include "support/lexc.h"

#include <ostream>

#include "support/local_time.h"
#include "support/text_format.h"

namespace {

std::string orEmpty(const char* s) { return s ? std::string(s) : std::string(); }

}  // namespace

LExc_Base::LExc_Base(const char* type, const char* text, const char* file,
                     int32_t line)
    : type_(orEmpty(type)),
      text_(orEmpty(text)),
      file_(orEmpty(file)),
      line_(line),
      time_(-1) {
  time_ = currentTime();
}

LExc_Base::~LExc_Base() = default;

std::string LExc_Base::reportText() const {
  std::string report;
  report += "Type: " + type_ + "\r\n";
  report += "Text: " + text_ + "\r\n";
  report += "File: " + file_ + "\r\n";
  report += formatText("Line: %d", static_cast<int>(line_));
  return report;
}

// The time is the one of raising, kept in the exception: a copy printed
// later still says when the failure happened.
void LExc_Base::print(std::ostream& out) const {
  out << clockText(time_) << '\n';
  out << ' ' << file_ << " Line " << line_ << std::endl;
  out << " - " << type_ << " - \"" << text_ << '"' << std::endl;
}

LExc_Internal_Unexpected::LExc_Internal_Unexpected(const char* text,
                                                   const char* file,
                                                   int32_t line)
    : LExc_Internal("LExc_Internal_Unexpected", text, file, line) {}

LExc_Internal_BadConversion::LExc_Internal_BadConversion(const char* text,
                                                         const char* file,
                                                         int32_t line)
    : LExc_Internal("LExc_Internal_BadConversion", text, file, line) {}

LExc_Internal_BadArg::LExc_Internal_BadArg(const char* text, const char* file,
                                           int32_t line)
    : LExc_Internal("LExc_Internal_BadArg", text, file, line) {}

LExc_Internal_Mem::LExc_Internal_Mem(int32_t bytes, const char* file,
                                     int32_t line)
    : LExc_Internal("LExc_Internal_Mem",
                    formatText("failed to alloc %d bytes ",
                               static_cast<int>(bytes))
                        .c_str(),
                    file, line) {}
