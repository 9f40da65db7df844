#include "platform/ui/QtUserPrompt.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "platform/ui/GuiThread.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtText.h"
#include "platform/ui/QtWindow.h"
#include "platform/ui/TerminalUserPrompt.h"

namespace {

// Puts the working directory back on every way out of a chooser.
class WorkingDirectoryKeeper {
public:
    WorkingDirectoryKeeper() {
        std::error_code error;
        m_saved = std::filesystem::current_path(error);
        if (error) m_saved.clear();
    }
    ~WorkingDirectoryKeeper() {
        std::error_code ignored;  // a folder removed meanwhile cannot be gone back to
        if (!m_saved.empty()) std::filesystem::current_path(m_saved, ignored);
    }
    WorkingDirectoryKeeper(const WorkingDirectoryKeeper&) = delete;
    WorkingDirectoryKeeper& operator=(const WorkingDirectoryKeeper&) = delete;

private:
    std::filesystem::path m_saved;
};

QWidget* OwnerWidget(HWND owner) {
    QtWindow* window = QtWindow::FromHandle(owner);
    return window && window->Widget() ? window->Widget()->window() : nullptr;
}

QMessageBox::Icon IconFor(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton ToStandard(int id) {
    switch (id) {
        case IDCANCEL:
            return QMessageBox::Cancel;
        case IDABORT:
            return QMessageBox::Abort;
        case IDRETRY:
            return QMessageBox::Retry;
        case IDIGNORE:
            return QMessageBox::Ignore;
        case IDYES:
            return QMessageBox::Yes;
        case IDNO:
            return QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

int FromStandard(int button) {
    switch (button) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Cancel:
            return IDCANCEL;
        case QMessageBox::Abort:
            return IDABORT;
        case QMessageBox::Retry:
            return IDRETRY;
        case QMessageBox::Ignore:
            return IDIGNORE;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return 0;
    }
}

bool HasButton(UINT type, int id) {
    for (int i = 0; i < ButtonCount(type); ++i) {
        if (ButtonAt(type, i) == id) return true;
    }
    return false;
}

int RunMessageBox(QWidget* owner, const std::string& text, const std::string& caption, UINT type) {
    QMessageBox box(IconFor(type), ToQString(caption), ToQString(text), QMessageBox::NoButton,
                    owner);
    box.setTextFormat(Qt::PlainText);
    for (int i = 0; i < ButtonCount(type); ++i)
        box.addButton(ToStandard(ButtonAt(type, i)));
    box.setDefaultButton(ToStandard(DefaultButton(type)));
    // Escape answers Cancel where there is one, and OK on a box with only OK, as on Windows.
    if (HasButton(type, IDCANCEL)) box.setEscapeButton(QMessageBox::Cancel);
    if (ButtonCount(type) == 1) box.setEscapeButton(QMessageBox::Ok);
    box.exec();
    const int answer = FromStandard(box.standardButton(box.clickedButton()));
    if (answer != 0) return answer;
    return HasButton(type, IDCANCEL) ? IDCANCEL : DefaultButton(type);
}

// "All Files (*.*)" / "*.*" becomes "All Files (*)": Qt reads the patterns from the
// parentheses, and "*.*" means every file on Windows but only dotted names here.
QString NameFilter(const FileFilter& filter) {
    QStringList patterns;
    for (const QString& pattern : ToQString(filter.pattern).split(';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        patterns << (trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    QString label = ToQString(filter.label).trimmed();
    if (label.endsWith(')') && label.lastIndexOf('(') >= 0) {
        label = label.left(label.lastIndexOf('(')).trimmed();
    }
    const QString list = patterns.join(' ');
    return label.isEmpty() ? list : label + QStringLiteral(" (") + list + ')';
}

QStringList NameFilters(const FileFilterList& filter) {
    QStringList filters;
    for (const FileFilter& entry : filter)
        filters << NameFilter(entry);
    return filters;
}

bool Acceptable(const QString& path, bool save) {
    if (FromQString(path).size() >= QtUserPrompt::kPathBufferSize) return false;
    if (save) return true;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

std::optional<std::string> RunChooser(QWidget* owner, const FileFilterList& filter, bool save) {
    QFileDialog dialog(owner, save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDirectory(QDir::currentPath());
    const QStringList filters = NameFilters(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.front());
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || !Acceptable(files.front(), save)) return std::nullopt;
    return FromQString(files.front());
}

}  // namespace

int QtUserPrompt::ShowMessage(HWND owner, const std::string& text, const std::string& caption,
                              UINT type) {
    int answer = 0;
    const bool shown =
        RunOnGuiThread([&] { answer = RunMessageBox(OwnerWidget(owner), text, caption, type); });
    return shown ? answer : TerminalUserPrompt().ShowMessage(owner, text, caption, type);
}

std::optional<std::string> QtUserPrompt::ChooseFileToOpen(HWND owner,
                                                          const FileFilterList& filter) {
    return ChooseFile(owner, filter, false);
}

std::optional<std::string> QtUserPrompt::ChooseFileToSave(HWND owner,
                                                          const FileFilterList& filter) {
    return ChooseFile(owner, filter, true);
}

std::optional<std::string> QtUserPrompt::ChooseFile(HWND owner, const FileFilterList& filter,
                                                    bool save) {
    std::optional<std::string> chosen;
    RunOnGuiThread([&] {
        WorkingDirectoryKeeper keeper;
        chosen = RunChooser(OwnerWidget(owner), filter, save);
    });
    return chosen;
}
