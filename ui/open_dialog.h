// The file-open dialog component: Qt's own file dialog with the form
// library's ways of keeping the file name from one run to the next.
#pragma once

#include <QFileDialog>
#include <QFileSystemModel>
#include <QString>

// A modal open dialog for one existing file. It remembers the file chosen
// last (FileName) and offers it when it opens again; a cancelled run leaves
// the name as it was. It is always Qt's own dialog, never the desktop's, so
// that it looks the same everywhere and tests can drive it.
class TOpenDialog : public QFileDialog {
public:
    // `filterCaption` is what the filter list shows; it selects every file.
    TOpenDialog(QWidget* parent, const QString& filterCaption) : QFileDialog(parent)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(QFileDialog::AcceptOpen);
        // Both the folder and the file must exist; the dialog itself refuses
        // any other name, with its own message.
        setFileMode(QFileDialog::ExistingFile);
        setNameFilter(filterCaption);
        // The caption's pattern is written "*.*", which on the platform the
        // form comes from means every file. Qt would read it literally here
        // and hide every file whose name has no dot; let all files through.
        if (auto* model = findChild<QFileSystemModel*>())
            model->setNameFilters({});
    }

    // Runs the dialog modally, starting on the file chosen last. Returns
    // whether the user confirmed a file; FileName() then holds its full path.
    bool Execute()
    {
        if (!m_fileName.isEmpty())
            selectFile(m_fileName);
        if (exec() != QDialog::Accepted)
            return false;
        const QStringList chosen = selectedFiles();
        if (chosen.isEmpty())
            return false;
        m_fileName = chosen.front();
        return true;
    }

    [[nodiscard]] const QString& FileName() const { return m_fileName; }
    void SetFileName(const QString& fileName) { m_fileName = fileName; }

private:
    QString m_fileName;
};
