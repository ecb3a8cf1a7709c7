#pragma once

#include <QDialog>

class Database;
class Prompter;
class QLineEdit;

// "Fältredigering" (frmFieldEdit): changes the length of one text column in Articles and Eqv.
// Run it modally with the column's name, its size (as text) and its description. It closes with
// Accepted only when the database was changed: the window then closes the database and opens it
// again, so the field list and the edit limits follow. A failure is reported in the dialog and
// closes it with Rejected, the database left as it was; so does "Avbryt".
class FieldEditDialog : public QDialog
{
    Q_OBJECT

public:
    FieldEditDialog(Database &db, Prompter &prompter, const QString &column, const QString &size,
                    const QString &description, QWidget *parent = nullptr);

    // Puts a new length in the length box, to be carried out or changed by the user.
    void proposeLength(int length);

private:
    void buildControls();
    void carryOut();

    Database &m_db;
    Prompter &m_prompter;
    QString m_size;

    QLineEdit *m_name = nullptr;
    QLineEdit *m_alias = nullptr;
    QLineEdit *m_length = nullptr;
};
