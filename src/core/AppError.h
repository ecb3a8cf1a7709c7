#pragma once

#include <QString>

#include <stdexcept>

class Prompter;

// An error with the number and description that the error messages show
// ("frmMain:mnuSave::ERROR:" + number + " - " + description).
class AppError : public std::runtime_error
{
public:
    AppError(int number, const QString &description);

    int number() const { return m_number; }
    const QString &description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// A failed file operation; the number is the system's errno value.
class FileError : public AppError
{
public:
    using AppError::AppError;
};

// Our own error numbers for conditions that have no library code.
namespace ErrorNumber {
constexpr int Overflow = 6;
constexpr int TypeMismatch = 13;
constexpr int FileNotFound = 53;
constexpr int PermissionDenied = 70;
constexpr int InvalidUseOfNull = 94;
constexpr int DuplicateKey = 457;
constexpr int BadFileFormat = 321;
constexpr int Unexpected = 999;
} // namespace ErrorNumber

// The main window's name: most error messages are given in its context.
inline const QString kMainWindow = QStringLiteral("frmMain");

QString errorMessage(const QString &window, const QString &procedure, int number,
                     const QString &description);

// Reports a failure caught at a command boundary with an OK-only box without a title.
void reportError(Prompter &prompter, const QString &window, const QString &procedure,
                 const std::exception &error);
