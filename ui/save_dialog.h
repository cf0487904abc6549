// The common save dialog as the forms use it: Qt's own file dialog (never the
// desktop's, so it behaves alike everywhere and tests can drive it) with the
// form library's filter string, filter index, default extension and options.
#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

class SaveDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit SaveDialog(QWidget* parent = nullptr);

    // "Name|pattern|Name|pattern...": each pair one entry of the file-type
    // list, shown by its name, listing the files its pattern matches. Patterns
    // match regardless of case, as the original platform's do.
    void SetFilter(const QString& filter);
    // The entry (from 0) the next Execute starts on; after a run, the entry
    // the user chose.
    void SetFilterIndex(int index);
    [[nodiscard]] int FilterIndex() const;
    // Added, after a dot, to a file name typed without an extension.
    void SetDefaultExt(const QString& extension);

    // Runs the dialog modally, offering the file name chosen last. True, with
    // FileName() set, when the user chose a file; false when cancelled.
    // Before accepting, the dialog asks before an existing file is replaced
    // and refuses a folder that does not exist and a file or folder that
    // cannot be written.
    [[nodiscard]] bool Execute();
    // The full path chosen last.
    [[nodiscard]] QString FileName() const;

protected:
    void accept() override;

private:
    QStringList m_nameFilters;
    int m_filterIndex = 0;
    QString m_fileName;
};
