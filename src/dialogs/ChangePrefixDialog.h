#pragma once

#include <QDialog>

class Database;
class Prompter;
class QLineEdit;
class QPushButton;

// "Ändra bibliotek (Blockprefix)" (frmChangePrefix): replaces the library prefix of the open
// database by a new one in every block name and every reference to one. Modal. After a rename
// it emits prefixChanged and closes with Accepted; "Avbryt" closes with Rejected and changes
// nothing. A failed rename is reported, leaves the database as it was and keeps the dialog open.
class ChangePrefixDialog : public QDialog
{
    Q_OBJECT

public:
    ChangePrefixDialog(Database &db, Prompter &prompter, QWidget *parent = nullptr);

signals:
    // The database now uses newPrefix: the tree is to be built again.
    void prefixChanged(const QString &oldPrefix, const QString &newPrefix);

private:
    void buildControls();
    void newPrefixChanged(const QString &text);
    void carryOut();

    Database &m_db;
    Prompter &m_prompter;

    QLineEdit *m_oldPrefix = nullptr;
    QLineEdit *m_newPrefix = nullptr;
    QPushButton *m_apply = nullptr;
};
