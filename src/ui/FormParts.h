#pragma once

#include <QString>
#include <QValidator>

#include <functional>

class QLabel;
class QWidget;

// Lets through exactly the texts a rule accepts, typed or pasted; a text box beeps at the rest
// through inputRejected.
class RuleValidator : public QValidator
{
public:
    RuleValidator(std::function<bool(const QString &)> accepts, QObject *parent);

    State validate(QString &input, int &) const override;

private:
    std::function<bool(const QString &)> m_accepts;
};

// A label naming a text box: the box takes the label's text as its accessible name.
QLabel *buddyLabel(const char *objectName, const QString &text, QWidget *buddy);
