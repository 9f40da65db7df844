#include "platform/ui/QtUserPrompt.h"

#include <filesystem>
#include <fstream>
#include <future>
#include <string>

#include <QAbstractButton>
#include <QEventLoop>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/ui/FileChooser.h"
#include "platform/ui/MessageBox.h"
#include "tests/platform/ui/ModalDriver.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

const FileFilterList kMovies = {
    {"Mpeg (*.mpg)", "*.mpg"}, {"AVI (*.avi)", "*.avi"}, {"All Files (*.*)", "*.*"}};

void Touch(const std::string& path) {
    std::ofstream(path) << "x";
}

// What the chooser's Open / Save button does (QFileDialog keeps accept protected).
void Accept(QFileDialog* chooser) {
    static_cast<QDialog*>(chooser)->accept();
}

// Keeps the test's working directory whatever the code under test does.
class WorkingDirectory {
public:
    WorkingDirectory() : m_saved(fs::current_path()) {}
    ~WorkingDirectory() { fs::current_path(m_saved); }
    const fs::path& Saved() const { return m_saved; }

private:
    fs::path m_saved;
};

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

TEST(QtUserPromptTest, message_box_shows_caption_text_icon_and_the_buttons_asked_for) {
    ModalWatchdog watchdog;
    QtUserPrompt prompt;
    SeenBox seen;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(
        prompt.ShowMessage(nullptr, "Overwrite <b>it</b>?", "Saving", MB_YESNO | MB_ICONQUESTION),
        IDNO);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(seen.title, QStringLiteral("Saving"));
    EXPECT_EQ(seen.text, QStringLiteral("Overwrite <b>it</b>?"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST(QtUserPromptTest, escape_on_a_box_with_only_ok_answers_ok) {
    ModalWatchdog watchdog;
    QtUserPrompt prompt;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal([&](QWidget* modal) {
        icon = qobject_cast<QMessageBox*>(modal)->icon();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(modal, &escape);
    });
    EXPECT_EQ(prompt.ShowMessage(nullptr, "Audio file is too long !", "Opening Error",
                                 MB_OK | MB_ICONERROR),
              IDOK);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_FALSE(watchdog.Fired());
}

TEST(QtUserPromptTest, a_message_from_a_worker_is_shown_on_the_user_interface_thread) {
    ModalWatchdog watchdog;
    QtUserPrompt prompt;
    bool shown_here = false;
    WhenModal([&](QWidget* modal) {
        shown_here = modal->thread() == QThread::currentThread();
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Cancel)->click();
    });
    QEventLoop loop;
    auto answer = std::async(std::launch::async, [&] {
        const int button = prompt.ShowMessage(nullptr, "Go on?", "", MB_OKCANCEL);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        return button;
    });
    loop.exec();  // the watchdog ends the box, and so the loop, if anything goes wrong
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(answer.get(), IDCANCEL);
    EXPECT_TRUE(shown_here);
    EXPECT_FALSE(watchdog.Fired());
}

TEST(QtUserPromptTest, open_chooser_returns_the_file_and_puts_the_working_directory_back) {
    ModalWatchdog watchdog;
    WorkingDirectory keep;
    TempDir dir;
    const std::string movie = dir.File("clip.mpg");
    Touch(movie);
    QtUserPrompt prompt;
    SetUserPrompt(&prompt);
    QStringList filters;
    QString selected_filter;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    WhenModal([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(chooser, nullptr);
        filters = chooser->nameFilters();
        selected_filter = chooser->selectedNameFilter();
        mode = chooser->fileMode();
        fs::current_path(dir.Path());  // as a Windows chooser would have done
        chooser->selectFile(QString::fromStdString(movie));
        Accept(chooser);
    });
    const auto chosen = ChooseFileToOpen(nullptr, kMovies);
    SetUserPrompt(nullptr);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(chosen, movie);
    EXPECT_EQ(fs::current_path(), keep.Saved());
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    const QStringList expected = {QStringLiteral("Mpeg (*.mpg)"), QStringLiteral("AVI (*.avi)"),
                                  QStringLiteral("All Files (*)")};
    EXPECT_EQ(filters, expected);
    EXPECT_EQ(selected_filter, expected.front());
}

TEST(QtUserPromptTest, a_cancelled_chooser_gives_nothing_and_keeps_the_working_directory) {
    ModalWatchdog watchdog;
    WorkingDirectory keep;
    TempDir dir;
    QtUserPrompt prompt;
    WhenModal([&](QWidget* modal) {
        fs::current_path(dir.Path());
        qobject_cast<QDialog*>(modal)->reject();
    });
    EXPECT_FALSE(prompt.ChooseFileToOpen(nullptr, kMovies).has_value());
    EXPECT_EQ(fs::current_path(), keep.Saved());
    EXPECT_FALSE(watchdog.Fired());
}

TEST(QtUserPromptTest, save_chooser_takes_a_new_name_as_given_without_an_extension) {
    ModalWatchdog watchdog;
    WorkingDirectory keep;
    TempDir dir;
    QtUserPrompt prompt;
    const std::string target = dir.File("rendered");
    Touch(dir.File("existing.wav"));
    QFileDialog::AcceptMode accept_mode = QFileDialog::AcceptOpen;
    WhenModal([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        accept_mode = chooser->acceptMode();
        chooser->selectFile(QString::fromStdString(target));
        Accept(chooser);
    });
    EXPECT_EQ(prompt.ChooseFileToSave(nullptr, {{"Uncompressed  WAV (*.wav)", "*.wav"}}), target);
    EXPECT_EQ(accept_mode, QFileDialog::AcceptSave);
    EXPECT_FALSE(watchdog.Fired());

    // An existing file is taken without a question.
    WhenModal([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        chooser->selectFile(QString::fromStdString(dir.File("existing.wav")));
        Accept(chooser);
    });
    EXPECT_EQ(prompt.ChooseFileToSave(nullptr, {{"Uncompressed  WAV (*.wav)", "*.wav"}}),
              dir.File("existing.wav"));
    EXPECT_FALSE(watchdog.Fired());
}

TEST(QtUserPromptTest, a_path_too_long_for_the_path_buffer_counts_as_cancelled) {
    ModalWatchdog watchdog;
    TempDir dir;
    fs::path deep = dir.Path();
    for (int i = 0; i < 5; ++i)
        deep /= std::string(200, static_cast<char>('a' + i));
    fs::create_directories(deep);
    const std::string target = (deep / "out.wav").string();
    ASSERT_GE(target.size(), QtUserPrompt::kPathBufferSize);
    QtUserPrompt prompt;
    WhenModal([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        chooser->selectFile(QString::fromStdString(target));
        Accept(chooser);
    });
    EXPECT_FALSE(prompt.ChooseFileToSave(nullptr, {{"All Files (*.*)", "*.*"}}).has_value());
    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
