// The exception family raised by the table library.
//
// Every failure the table library detects is thrown by value as one of the
// four leaf classes below. Handlers catch `const LExc_Base&` only; the classes
// differ in nothing but the type name they carry. An exception records where
// it was raised (a source module path and line) and when (seconds since
// 1970-01-01 00:00:00 UTC, 64-bit so that it survives January 2038).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

class LExc_Base {
 public:
  // A null pointer for type, text or file stores an empty string.
  LExc_Base(const char* type, const char* text, const char* file,
            int32_t line);
  LExc_Base(const LExc_Base&) = default;
  LExc_Base& operator=(const LExc_Base&) = default;
  virtual ~LExc_Base();

  // The user-facing report: the lines "Type: <type>", "Text: <text>",
  // "File: <file>" and "Line: <line>", separated by CR LF, with no line end
  // after the last one.
  virtual std::string reportText() const;

  // Writes the log form to `out`: the local time in the 24-character form
  // "Wed Jan  2 13:04:05 2030", then " <file> Line <line>", then
  // " - <type> - \"<text>\"", each ended by LF; flushes after the second and
  // the third line.
  virtual void print(std::ostream& out) const;

  const std::string& type() const { return type_; }
  const std::string& text() const { return text_; }
  const std::string& file() const { return file_; }
  int32_t line() const { return line_; }
  int64_t time() const { return time_; }

 private:
  std::string type_;
  std::string text_;
  std::string file_;
  int32_t line_;
  int64_t time_;
};

class LExc_Internal : public LExc_Base {
 public:
  using LExc_Base::LExc_Base;
};

// Something the table does not hold or a stream that is not a table.
class LExc_Internal_Unexpected : public LExc_Internal {
 public:
  using LExc_Internal::LExc_Internal;
  LExc_Internal_Unexpected(const char* text, const char* file, int32_t line);
};

// A cell read or written as a type its column does not have.
class LExc_Internal_BadConversion : public LExc_Internal {
 public:
  using LExc_Internal::LExc_Internal;
  LExc_Internal_BadConversion(const char* text, const char* file,
                              int32_t line);
};

// An argument outside its range (a column index, a row position).
class LExc_Internal_BadArg : public LExc_Internal {
 public:
  using LExc_Internal::LExc_Internal;
  LExc_Internal_BadArg(const char* text, const char* file, int32_t line);
};

// An allocation that failed; the text is "failed to alloc <bytes> bytes "
// (with its trailing blank).
class LExc_Internal_Mem : public LExc_Internal {
 public:
  using LExc_Internal::LExc_Internal;
  LExc_Internal_Mem(int32_t bytes, const char* file, int32_t line);
};
