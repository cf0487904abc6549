// The common save dialog: Qt's file dialog with the refusals of the original
// platform's save dialog.
#include "ui/save_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// True when `path` exists and may not be written, or would be created in a
// folder that may not be written. The read-only attribute of the original
// platform is a file with no write bit at all: checked apart from access(),
// which lets root write anything on a writable file system.
bool RefusesWriting(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    struct stat status {};
    if (::stat(file.constData(), &status) == 0) {
        if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
        return ::access(file.constData(), W_OK) != 0;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::stat(folder.constData(), &status) == 0 && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return true;
    }
    return ::access(folder.constData(), W_OK) != 0;
}

// The name Qt shows for a filter entry must end in "(patterns)"; the form's
// names usually already do.
QString NameFilterFor(const QString& name, const QString& patterns)
{
    QString qtPatterns = patterns;
    qtPatterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString tail = QLatin1Char('(') + qtPatterns + QLatin1Char(')');
    return name.endsWith(tail) ? name : name + QLatin1Char(' ') + tail;
}

}  // namespace

SaveDialog::SaveDialog(QWidget* parent) : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // Qt's listing matches name patterns regardless of case already (checked
    // by the tests), as the original platform's dialog does.
}

void SaveDialog::SetFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    m_nameFilters.clear();
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) m_nameFilters << NameFilterFor(parts[i], parts[i + 1]);
    setNameFilters(m_nameFilters);
}

void SaveDialog::SetFilterIndex(int index)
{
    m_filterIndex = index;
}

int SaveDialog::FilterIndex() const
{
    return m_filterIndex;
}

void SaveDialog::SetDefaultExt(const QString& extension)
{
    setDefaultSuffix(extension);
}

bool SaveDialog::Execute()
{
    if (m_filterIndex >= 0 && m_filterIndex < m_nameFilters.size()) selectNameFilter(m_nameFilters[m_filterIndex]);
    if (!m_fileName.isEmpty()) selectFile(m_fileName);
    if (exec() != QDialog::Accepted) return false;
    const QStringList files = selectedFiles();
    if (files.isEmpty()) return false;
    m_fileName = files.first();
    m_filterIndex = static_cast<int>(m_nameFilters.indexOf(selectedNameFilter()));
    return true;
}

QString SaveDialog::FileName() const
{
    return m_fileName;
}

void SaveDialog::accept()
{
    const QStringList files = selectedFiles();
    if (!files.isEmpty()) {
        const QFileInfo target(files.first());
        if (!target.isDir()) {
            if (!target.absoluteDir().exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     target.absoluteFilePath() +
                                         QStringLiteral("\nパスが存在しません。\nパスが正しいことを確認してください。"));
                return;
            }
            if (RefusesWriting(target.absoluteFilePath())) {
                QMessageBox::warning(this, windowTitle(),
                                     target.absoluteFilePath() +
                                         QStringLiteral("\nこのファイルは読み取り専用です。\n別のファイル名を指定してください。"));
                return;
            }
        }
    }
    // Qt's own accept asks before an existing file is replaced.
    QFileDialog::accept();
}
