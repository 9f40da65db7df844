#include "platform/ui/StaticControl.h"

#include "platform/ui/QtText.h"

StaticControl::StaticControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new QLabel(parent), control) {
    QLabel* label = Label();
    switch (control.style & SS_TYPEMASK) {
        case SS_CENTER:
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            break;
        case SS_RIGHT:
            label->setAlignment(Qt::AlignRight | Qt::AlignTop);
            break;
        default:
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            break;
    }
    label->setWordWrap(true);
    // A static paints its own background, as on Windows: it shows even where the dialog
    // leaves its own background unpainted.
    label->setAutoFillBackground(true);
    label->setTextFormat(Qt::PlainText);
    if (control.style & WS_BORDER) label->setFrameStyle(QFrame::Box | QFrame::Plain);
    SetText(control.text);
}

void StaticControl::SetText(const std::string& text) {
    m_text = text;
    if (QLabel* label = Label()) label->setText(ToQString(Shown(text)));
}

std::string StaticControl::Shown(const std::string& text) const {
    if (Style() & SS_NOPREFIX) return text;
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            shown += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            shown += '&';
            ++i;
        }
    }
    return shown;
}
