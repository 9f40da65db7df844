#include "platform/ui/EditControl.h"

#include <algorithm>
#include <cstdlib>

#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "platform/ui/QtText.h"
#include "platform/ui/WindowMessages.h"

namespace {

constexpr int kDefaultLimit = 32767;  // Qt's longest line

Qt::Alignment AlignmentFor(DWORD style) {
    if (style & ES_CENTER) return Qt::AlignHCenter | Qt::AlignVCenter;
    if (style & ES_RIGHT) return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

EditControl::EditControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new QLineEdit(parent), control) {
    QLineEdit* line = Line();
    line->setAlignment(AlignmentFor(control.style));
    line->setReadOnly((control.style & ES_READONLY) != 0);
    if (control.style & ES_PASSWORD) line->setEchoMode(QLineEdit::Password);
    if (control.style & ES_NUMBER) {
        line->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), line));
    }
    line->setText(ToQString(control.text));
    QObject::connect(line, &QLineEdit::textChanged, [this] {
        NotifyParent(EN_UPDATE);
        NotifyParent(EN_CHANGE);
    });
}

LRESULT EditControl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    QLineEdit* line = Line();
    if (!line) return 0;
    switch (message) {
        case EM_LIMITTEXT: {
            const int limit = wparam == 0
                                  ? kDefaultLimit
                                  : static_cast<int>(std::min<WPARAM>(wparam, kDefaultLimit));
            line->setMaxLength(limit);
            return 0;
        }
        case EM_SETREADONLY:
            line->setReadOnly(wparam != 0);
            return TRUE;
        case EM_SETSEL:
            Select(*line, wparam, lparam);
            return 0;
        default:
            return ControlWindow::WindowProc(message, wparam, lparam);
    }
}

void EditControl::Select(QLineEdit& line, WPARAM start, LPARAM end) {
    // Start -1 removes the selection; end -1 selects to the end of the text.
    const auto first = static_cast<intptr_t>(start);
    if (first < 0) {
        line.deselect();
        return;
    }
    const int length = static_cast<int>(line.text().size());
    const int from = static_cast<int>(std::min<intptr_t>(first, length));
    const int to = end < 0 ? length : static_cast<int>(std::min<intptr_t>(end, length));
    line.setSelection(std::min(from, to), std::abs(to - from));
}

std::string EditControl::Text() const {
    const QLineEdit* line = Line();
    return line ? FromQString(line->text()) : "";
}

void EditControl::SetText(const std::string& text) {
    QLineEdit* line = Line();
    if (!line) return;
    const QString value = ToQString(text);
    if (line->text() != value) {
        line->setText(value);  // notifies through textChanged
        return;
    }
    // Windows tells the dialog of every WM_SETTEXT, even one that changes nothing.
    NotifyParent(EN_UPDATE);
    NotifyParent(EN_CHANGE);
}
