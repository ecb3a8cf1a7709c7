#pragma once

#include "core/Prompter.h"

#include <cstdio>
#include <cstdlib>

// Answers every question with yes, so a UTF-8 file is read on, and shows nothing.
class QuietPrompter final : public Prompter
{
public:
    void message(MessageIcon, const QString &, const QString &) override {}
    bool question(MessageIcon, const QString &, const QString &) override { return true; }
    Answer questionWithCancel(MessageIcon, const QString &, const QString &) override
    {
        return Answer::Yes;
    }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QStringList openFile(const FileDialogRequest &) override { return {}; }
    QString saveFile(const FileDialogRequest &) override { return {}; }
    std::optional<std::uint32_t> chooseColour(std::uint32_t) override { return std::nullopt; }
};

// A broken promise of the code under test: the fuzzer records the input that shows it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
