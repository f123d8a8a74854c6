#include "source_file_dialog.h"

#include <memory>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QLocale>
#include <QTreeView>

#include "ui_texts.h"

namespace {

constexpr int dialogWidth = 760;
constexpr int dialogHeight = 480;

// The pattern of the NC filter, shown in the name field as the dialog opens.
const char* const ncPattern = "*.nc*";

// The extensions NC programs are commonly saved with.
constexpr const char* ncProgramExtensions[] = {"nc", "ngc", "tap", "gcode", "cnc", "txt"};

QString ncProgramsFilter()
{
    QStringList extensions;
    QStringList patterns;
    for (const char* extension : ncProgramExtensions) {
        extensions.append(QStringLiteral(".") + QString::fromLatin1(extension));
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(extension));
    }
    return texts::text(texts::ncProgramsFilter).arg(extensions.join(QLatin1Char(' ')), patterns.join(QLatin1Char(' ')));
}

// The type of a file in the list, in the program's words: the system's type
// names are English and often wrong for NC programs (.nc is "NetCDF").
QString fileTypeText(const QFileInfo& file)
{
    if (file.isDir()) return texts::text(texts::folderType);
    const QString extension = file.suffix();
    if (extension.isEmpty()) return texts::text(texts::fileType);
    for (const char* known : ncProgramExtensions) {
        if (extension.compare(QLatin1String(known), Qt::CaseInsensitive) == 0) return texts::text(texts::ncProgramType);
    }
    return texts::text(texts::extensionFileType).arg(extension.toUpper());
}

// The file system model writes sizes and dates in the form of the system's
// locale and types in the system's English; these take the program's
// (Japanese), as the rest of the dialog.
class ProgramLocaleColumns final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr) return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == sizeColumn && !files->isDir(source))
            return QLocale().formattedDataSize(files->size(source));
        if (index.column() == typeColumn) return fileTypeText(files->fileInfo(source));
        if (index.column() == dateColumn) return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }

private:
    static constexpr int sizeColumn = 1;
    static constexpr int typeColumn = 2;
    static constexpr int dateColumn = 3;
};

// The detail list: the name takes the room that the size, type and date
// columns leave, and those are as wide as their widest entry once the folder
// is read.
void fitColumns(QFileDialog* dialog)
{
    auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dialog->findChild<QFileSystemModel*>();
    if (view == nullptr || model == nullptr) return;
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    const auto fit = [view, header] {
        for (int column = 1; column < header->count(); ++column)
            view->resizeColumnToContents(column);
    };
    QObject::connect(model, &QFileSystemModel::directoryLoaded, view, fit);
    fit();
}

}  // namespace

QFileDialog* createSourceFileDialog(QWidget* owner, const QString& folder)
{
    auto* dialog = new QFileDialog(owner, texts::text(texts::browseTitle));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setViewMode(QFileDialog::Detail);
    dialog->setProxyModel(new ProgramLocaleColumns(dialog));
    dialog->setDefaultSuffix(QStringLiteral("nc"));
    dialog->setNameFilters({ncProgramsFilter(), texts::text(texts::ncFilesFilter), texts::text(texts::allFilesFilter)});
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setDirectory(!folder.isEmpty() && QDir(folder).exists() ? folder : QDir::currentPath());
    dialog->selectFile(QString::fromLatin1(ncPattern));
    dialog->resize(dialogWidth, dialogHeight);
    fitColumns(dialog);
    return dialog;
}

std::optional<QString> chooseSourceFile(QWidget* owner, const QString& folder)
{
    const std::unique_ptr<QFileDialog> dialog(createSourceFileDialog(owner, folder));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
    return dialog->selectedFiles().constFirst();
}
