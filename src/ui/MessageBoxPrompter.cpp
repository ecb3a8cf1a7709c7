#include "ui/MessageBoxPrompter.h"

#include "ui/FileDialogDetails.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A box without a title of its own shows the program's name, as the platform would.
QString shownTitle(const QString &title)
{
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}

} // namespace

void MessageBoxPrompter::message(MessageIcon icon, const QString &title, const QString &text)
{
    QMessageBox box(toQt(icon), shownTitle(title), text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool MessageBoxPrompter::question(MessageIcon icon, const QString &title, const QString &text)
{
    QMessageBox box(toQt(icon), shownTitle(title), text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nej"));
    return box.exec() == QMessageBox::Yes;
}

bool MessageBoxPrompter::confirm(MessageIcon icon, const QString &title, const QString &text)
{
    QMessageBox box(toQt(icon), shownTitle(title), text, QMessageBox::Yes | QMessageBox::Cancel,
                    m_parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Avbryt"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

bool MessageBoxPrompter::confirmAs(MessageIcon icon, const QString &title, const QString &text,
                                   const QString &goAhead)
{
    QMessageBox box(toQt(icon), shownTitle(title), text, QMessageBox::Yes | QMessageBox::Cancel,
                    m_parent);
    box.button(QMessageBox::Yes)->setText(goAhead);
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Avbryt"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

Answer MessageBoxPrompter::questionWithCancel(MessageIcon icon, const QString &title,
                                              const QString &text)
{
    QMessageBox box(toQt(icon), shownTitle(title), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nej"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Avbryt"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

std::optional<QString> MessageBoxPrompter::inputText(const QString &title, const QString &label,
                                                     const QString &initial)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, title, label, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QStringList MessageBoxPrompter::openFile(const FileDialogRequest &request)
{
    QFileDialog dialog(m_parent, request.title, request.initialFolder, request.filter);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                           : QFileDialog::ExistingFile);
    showFileDetailsInProgramLocale(dialog);
    sizeToShowEveryColumn(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString MessageBoxPrompter::saveFile(const FileDialogRequest &request)
{
    QFileDialog dialog(m_parent, request.title, request.initialFolder, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    showFileDetailsInProgramLocale(dialog);
    sizeToShowEveryColumn(dialog);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

std::optional<std::uint32_t> MessageBoxPrompter::chooseColour(std::uint32_t initial)
{
    const QColor start(int(initial & 0xff), int((initial >> 8) & 0xff),
                       int((initial >> 16) & 0xff));
    const QColor chosen = QColorDialog::getColor(start, m_parent);
    if (!chosen.isValid())
        return std::nullopt;
    return std::uint32_t(chosen.red()) | (std::uint32_t(chosen.green()) << 8) |
           (std::uint32_t(chosen.blue()) << 16);
}
