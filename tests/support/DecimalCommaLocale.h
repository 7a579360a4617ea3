#pragma once

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "support/TempDir.h"

// The process locale of a German desktop, where printf writes 1.5 as "1,5" and strtod reads
// "1.5" as 1: Qt sets the process locale from the desktop as the application starts. The
// system's de_DE.UTF-8 is used when it is installed; otherwise it is compiled once per test
// program from the system's locale sources (the "locales" package) into a temporary folder,
// which LOCPATH then points at.
class DecimalCommaLocale {
public:
    // Switches the whole process to the decimal-comma locale; false (with the reason in
    // Problem()) when it cannot be had here.
    static bool Enter() {
        if (!Switch()) {
            Compiled();
            if (!Switch()) return false;
        }
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        if (std::strcmp(text, "1,5") != 0) {
            Problem() = "de_DE.UTF-8 does not write a decimal comma";
            Leave();
            return false;
        }
        return true;
    }

    // Back to the "C" locale every test program starts in.
    static void Leave() { std::setlocale(LC_ALL, "C"); }

    static std::string& Problem() {
        static std::string problem;
        return problem;
    }

private:
    static bool Switch() { return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr; }

    static void Compiled() {
        static std::unique_ptr<TempDir> folder;
        if (folder != nullptr) return;
        folder = std::make_unique<TempDir>();
        const std::string target = folder->File("de_DE.UTF-8");
        const std::string command = "localedef -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1";
        // localedef warns (and exits 1) about details of the sources while still writing the
        // locale, so the result is judged by whether the locale can be entered.
        (void)std::system(command.c_str());
        setenv("LOCPATH", folder->Path().c_str(), 1);
        Problem() = "no de_DE.UTF-8 locale, and localedef could not make one in " + folder->Path();
    }
};
