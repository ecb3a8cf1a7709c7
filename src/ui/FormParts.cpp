#include "ui/FormParts.h"

#include <QLabel>

RuleValidator::RuleValidator(std::function<bool(const QString &)> accepts, QObject *parent)
    : QValidator(parent), m_accepts(std::move(accepts))
{
}

QValidator::State RuleValidator::validate(QString &input, int &) const
{
    return m_accepts(input) ? Acceptable : Invalid;
}

QLabel *buddyLabel(const char *objectName, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setObjectName(QLatin1String(objectName));
    label->setBuddy(buddy);
    return label;
}
