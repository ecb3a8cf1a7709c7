#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

enum class MessageIcon { None, Information, Warning, Error, Question };

// The answer to a question that can be cancelled.
enum class Answer { Yes, No, Cancel };

struct FileDialogRequest
{
    QString title;
    QString filter; // Qt filter syntax, e.g. "Text (*.tds)"
    QString initialFolder;
    QString defaultSuffix; // without dot
    bool multiSelect = false;
};

// Every message box, question, input box and file dialog goes through this interface, so the
// logic runs the same in the window, in batch mode (stderr) and in tests (scripted answers).
class Prompter
{
public:
    virtual ~Prompter() = default;

    virtual void message(MessageIcon icon, const QString &title, const QString &text) = 0;
    // Yes/No question; true means Yes.
    virtual bool question(MessageIcon icon, const QString &title, const QString &text) = 0;
    // Ja / Nej / Avbryt; closing the box or Escape answers Cancel.
    virtual Answer questionWithCancel(MessageIcon icon, const QString &title,
                                      const QString &text) = 0;
    // Ja / Avbryt, for a step that can only go ahead or not; closing or Escape answers Avbryt.
    // True means Ja.
    virtual bool confirm(MessageIcon icon, const QString &title, const QString &text)
    {
        return question(icon, title, text);
    }
    // The same with the going-ahead button named for the step ("Exportera ändå") beside Avbryt.
    virtual bool confirmAs(MessageIcon icon, const QString &title, const QString &text,
                           const QString &goAhead)
    {
        Q_UNUSED(goAhead);
        return confirm(icon, title, text);
    }
    virtual std::optional<QString> inputText(const QString &title, const QString &label,
                                             const QString &initial) = 0;
    virtual QStringList openFile(const FileDialogRequest &request) = 0;
    virtual QString saveFile(const FileDialogRequest &request) = 0;
    // Colours are the stored 32-bit value: red in the lowest byte, then green, then blue.
    virtual std::optional<std::uint32_t> chooseColour(std::uint32_t initial) = 0;

    void info(const QString &text, const QString &title = {})
    {
        message(MessageIcon::Information, title, text);
    }
    void warning(const QString &text, const QString &title = {})
    {
        message(MessageIcon::Warning, title, text);
    }
    void error(const QString &text, const QString &title = {})
    {
        message(MessageIcon::Error, title, text);
    }
};
