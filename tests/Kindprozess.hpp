// SPDX-License-Identifier: GPL-3.0-or-later
// A piece of a test in a process of its own, like a program run that may crash or be killed: on
// Linux a fork of the test program, on Windows the test program started once more. The child runs
// a task registered by name (KindAufgabe), with the environment variables it is given; its
// standard input is a pipe from the test, its error stream a pipe to it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/Ausfuehrer.hpp"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zentrix::test {

using TAufgabe = int (*)();

inline std::map<std::string, TAufgabe>& Aufgaben() {
    static std::map<std::string, TAufgabe> aufgaben;
    return aufgaben;
}

// Registers a task; at namespace scope: const bool x = KindAufgabe("name", Funktion);
inline bool KindAufgabe(const char* name, TAufgabe aufgabe) {
    Aufgaben()[name] = aufgabe;
    return true;
}

// Called first in the test program's main: in a child started for a task it runs the task and
// gives its exit code; otherwise -1.
inline int KindAufgabeLaufen() {
    const char* name = std::getenv("ZENTRIX_KIND");
    if (name == nullptr) return -1;
    const auto aufgabe = Aufgaben().find(name);
    return aufgabe == Aufgaben().end() ? 98 : aufgabe->second();
}

// An environment variable of the task ("" where it is not set).
inline std::string Umgebung(const char* name) {
    const char* wert = std::getenv(name);
    return wert != nullptr ? wert : "";
}

class TKind {
public:
    using TUmgebung = std::vector<std::pair<std::string, std::string>>;

    // Starts the child for the task with the given environment variables.
    TKind(const std::string& aufgabe, TUmgebung umgebung) {
        umgebung.emplace_back("ZENTRIX_KIND", aufgabe);
        Starte(umgebung);
    }
    ~TKind() {
        SchliesseEingabe();
        if (laeuft_) Warte();
    }
    TKind(const TKind&) = delete;
    TKind& operator=(const TKind&) = delete;

    // Closes the pipe to the child's standard input: a read there then finds its end.
    void SchliesseEingabe();
    // Reads the child's error stream to its end (into fehlerausgabe, where given), waits for the
    // child and gives its exit code (-1 where it was killed).
    int Warte(std::string* fehlerausgabe = nullptr);

private:
    void Starte(const TUmgebung& umgebung);
    bool laeuft_ = false;
#ifdef _WIN32
    HANDLE prozess_ = nullptr, eingabe_ = nullptr, fehler_ = nullptr;
#else
    pid_t pid_ = -1;
    int eingabe_ = -1, fehler_ = -1;
#endif
};

#ifdef _WIN32

inline std::wstring Breit(const std::string& text) {
    std::wstring breit(text.size(), L'\0');
    breit.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                                breit.data(), static_cast<int>(breit.size()))));
    return breit;
}

inline void TKind::Starte(const TUmgebung& umgebung) {
    SECURITY_ATTRIBUTES erben{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE kindEingabe = nullptr, kindFehler = nullptr;
    ::CreatePipe(&kindEingabe, &eingabe_, &erben, 0);
    ::CreatePipe(&fehler_, &kindFehler, &erben, 0);
    ::SetHandleInformation(eingabe_, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(fehler_, HANDLE_FLAG_INHERIT, 0);
    wchar_t programm[MAX_PATH];
    ::GetModuleFileNameW(nullptr, programm, MAX_PATH);
    std::wstring befehl = L"\"" + std::wstring(programm) + L"\"";
    // The child inherits this process's environment: the task's variables are set meanwhile.
    for (const auto& [name, wert] : umgebung) ::SetEnvironmentVariableW(Breit(name).c_str(), Breit(wert).c_str());
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = kindEingabe;
    start.hStdOutput = kindFehler;
    start.hStdError = kindFehler;
    PROCESS_INFORMATION info{};
    laeuft_ = ::CreateProcessW(programm, befehl.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &info);
    for (const auto& umgebungsvariable : umgebung) ::SetEnvironmentVariableW(Breit(umgebungsvariable.first).c_str(), nullptr);
    ::CloseHandle(kindEingabe);
    ::CloseHandle(kindFehler);
    if (laeuft_) {
        ::CloseHandle(info.hThread);
        prozess_ = info.hProcess;
    }
}

inline void TKind::SchliesseEingabe() {
    if (eingabe_ != nullptr) ::CloseHandle(eingabe_);
    eingabe_ = nullptr;
}

inline int TKind::Warte(std::string* fehlerausgabe) {
    char puffer[256];
    DWORD n = 0;
    while (::ReadFile(fehler_, puffer, sizeof puffer, &n, nullptr) && n > 0)
        if (fehlerausgabe != nullptr) fehlerausgabe->append(puffer, n);
    ::CloseHandle(fehler_);
    fehler_ = nullptr;
    if (!laeuft_) return -1;
    laeuft_ = false;
    DWORD rc = 0;
    ::WaitForSingleObject(prozess_, INFINITE);
    ::GetExitCodeProcess(prozess_, &rc);
    ::CloseHandle(prozess_);
    return static_cast<int>(rc);
}

#else

inline void TKind::Starte(const TUmgebung& umgebung) {
    int ein[2], aus[2];
    if (::pipe(ein) != 0 || ::pipe(aus) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(ein[0], STDIN_FILENO);
        ::dup2(aus[1], STDERR_FILENO);
        for (const int fd : {ein[0], ein[1], aus[0], aus[1]}) ::close(fd);
        for (const auto& [name, wert] : umgebung) ::setenv(name.c_str(), wert.c_str(), 1);
        const int rc = KindAufgabeLaufen();
        // The forked child has no workers of the executor: what it started beside (the removal
        // of a swap's old outputs) is done here before it ends without its destructors.
        zentrix::TAusfuehrer::Gemeinsam().NebenherAbwarten();
        _exit(rc);
    }
    ::close(ein[0]);
    ::close(aus[1]);
    eingabe_ = ein[1];
    fehler_ = aus[0];
    laeuft_ = pid_ > 0;
}

inline void TKind::SchliesseEingabe() {
    if (eingabe_ >= 0) ::close(eingabe_);
    eingabe_ = -1;
}

inline int TKind::Warte(std::string* fehlerausgabe) {
    char puffer[256];
    for (ssize_t n; (n = ::read(fehler_, puffer, sizeof puffer)) > 0;)
        if (fehlerausgabe != nullptr) fehlerausgabe->append(puffer, static_cast<std::size_t>(n));
    ::close(fehler_);
    fehler_ = -1;
    if (!laeuft_) return -1;
    laeuft_ = false;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

}  // namespace zentrix::test
