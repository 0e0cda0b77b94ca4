// Errors that end a command. Each carries the German text the user sees; the error box shows it
// with the period rule of ErrorBoxText.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/EACode.hpp"
#include "core/Ort.hpp"

namespace zentrix {

// Base of every error a command can raise. what() is the German message (UTF-8); Ort, where known,
// says where it arose (the file, line, field and text, or the grid cell), shown beside the message.
class EZentrixError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    TOrt Ort;
};

// An I/O error of a text file operation: Code is the I/O result code (ea::Code, or a system error's).
class EInOutError : public EZentrixError {
public:
    EInOutError(int code, const std::string& message) : EZentrixError(message), Code(code) {}
    explicit EInOutError(int code);  // message from IOErrorText(code)
    int Code;
};

// A field text that is not a number ("'%s' ist kein gültiger Gleitkommawert").
class EConvertError : public EZentrixError {
public:
    using EZentrixError::EZentrixError;
};

// Floating-point faults: division by zero, invalid operation, overflow.
class EMathError : public EZentrixError {
public:
    using EZentrixError::EZentrixError;
};

// An array index outside the array ("Fehler bei Bereichsprüfung").
class ERangeError : public EZentrixError {
public:
    using EZentrixError::EZentrixError;
};

// A format string that does not fit its arguments.
class EFormatError : public EZentrixError {
public:
    using EZentrixError::EZentrixError;
};

// The German texts of the I/O result codes ("Datei nicht gefunden", ..., a system error's reason,
// "E/A-Fehler %d" for any other).
std::string IOErrorText(int code);

[[noreturn]] void RaiseZeroDivide();  // "Gleitkommadivision durch Null"
[[noreturn]] void RaiseInvalidOp();   // "Ungültige Gleitkommaoperation"
[[noreturn]] void RaiseOverflow();    // "Gleitkommaüberlauf"
[[noreturn]] void RaiseRangeError();  // "Fehler bei Bereichsprüfung"

// Offending text as a message quotes it: at most this many characters (an umlaut is one), a
// longer one cut there and "…" appended, so that a field of a thousand characters does not fill the
// box; control characters shown as by Sichtbar (each counts as one character).
constexpr std::size_t ZitatZeichen = 40;
std::string Zitat(std::string_view text);

// Text of a file as a message or a place shows it: a control character other than the tab (a NUL
// byte, ESC, DEL, ...) as "\x1B", so that it neither vanishes nor acts on the terminal.
std::string Sichtbar(std::string_view text);

// The text of the application's error box: the message with a "." appended, unless its last
// character already has a code at most that of "." (".", "!", ")", ",", a blank ...).
std::string ErrorBoxText(const std::string& message);

}  // namespace zentrix
