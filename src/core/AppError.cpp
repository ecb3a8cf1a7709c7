#include "core/AppError.h"

#include "core/Prompter.h"

AppError::AppError(int number, const QString &description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
{
}

QString errorMessage(const QString &window, const QString &procedure, int number,
                     const QString &description)
{
    return window + QLatin1Char(':') + procedure + QStringLiteral("::ERROR:") +
           QString::number(number) + QStringLiteral(" - ") + description;
}

void reportError(Prompter &prompter, const QString &window, const QString &procedure,
                 const std::exception &error)
{
    int number = ErrorNumber::Unexpected;
    QString description = QString::fromLocal8Bit(error.what());
    if (const auto *appError = dynamic_cast<const AppError *>(&error)) {
        number = appError->number();
        description = appError->description();
    }
    prompter.message(MessageIcon::None, QString(),
                     errorMessage(window, procedure, number, description));
}
