#include "platform/media/proppage/AudioPropertiesPage.h"

#include <algorithm>
#include <new>
#include <utility>

#include <QGridLayout>
#include <QLabel>
#include <QSlider>

namespace {

constexpr long kSilence = -10000;   // 1/100 dB
constexpr long kFullLeft = -10000;  // the right channel silenced
constexpr long kFullRight = 10000;
constexpr SIZE kPageSize{320, 110};

}  // namespace

AudioPropertiesPage::AudioPropertiesPage()
    : CBasePropertyPage("Audio renderer property page", u"Audio Renderer", kPageSize) {}

CUnknown* AudioPropertiesPage::CreateInstance(LPUNKNOWN /*outer*/, HRESULT* hr) {
    auto* page = new (std::nothrow) AudioPropertiesPage();
    if (!page && hr) *hr = E_OUTOFMEMORY;
    return page;
}

HRESULT AudioPropertiesPage::OnConnect(IUnknown* object) {
    ComPtr<IBasicAudio> audio;
    if (FAILED(object->QueryInterface(IID_IBasicAudio,
                                      reinterpret_cast<void**>(audio.GetAddressOf()))) ||
        !audio) {
        return E_NOINTERFACE;
    }
    long volume = 0;
    long balance = 0;
    if (FAILED(audio->get_Volume(&volume))) volume = 0;
    if (FAILED(audio->get_Balance(&balance))) balance = 0;
    m_volume = std::clamp(volume, kSilence, 0L);
    m_balance = std::clamp(balance, kFullLeft, kFullRight);
    m_audio = std::move(audio);
    return S_OK;
}

void AudioPropertiesPage::OnDisconnect() {
    m_audio = nullptr;
}

HRESULT AudioPropertiesPage::OnApplyChanges() {
    if (!m_audio) return E_UNEXPECTED;
    const HRESULT hr = m_audio->put_Volume(m_volume);
    return FAILED(hr) ? hr : m_audio->put_Balance(m_balance);
}

void AudioPropertiesPage::CreateControls(QWidget* page) {
    auto* grid = new QGridLayout(page);
    AddSlider(grid, 0, {"Volume", "volume", kSilence, 0, m_volume}, [this](long value) {
        m_volume = value;
        SetDirty();
    });
    AddSlider(grid, 1, {"Balance", "balance", kFullLeft, kFullRight, m_balance},
              [this](long value) {
                  m_balance = value;
                  SetDirty();
              });
}

void AudioPropertiesPage::AddSlider(QGridLayout* grid, int row, const SliderRow& slider,
                                    std::function<void(long)> changed) {
    auto* label = new QLabel(QString::fromLatin1(slider.label));
    auto* control = new QSlider(Qt::Horizontal);
    auto* text = new QLabel(DecibelText(slider.value));
    // Wide enough for the longest value, so that the slider does not jump as the text changes.
    text->setMinimumWidth(text->fontMetrics().horizontalAdvance(DecibelText(-10000)));
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    control->setObjectName(QString::fromLatin1(slider.name));
    text->setObjectName(QString::fromLatin1(slider.name) + QStringLiteral("Text"));
    control->setRange(slider.minimum, slider.maximum);
    control->setSingleStep(100);
    control->setPageStep(1000);
    control->setValue(static_cast<int>(slider.value));
    // Connected after the value is set, so that showing the held value changes nothing.
    QObject::connect(control, &QSlider::valueChanged, control,
                     [text, changed = std::move(changed)](int value) {
                         text->setText(DecibelText(value));
                         changed(value);
                     });
    label->setBuddy(control);
    grid->addWidget(label, row, 0);
    grid->addWidget(control, row, 1);
    grid->addWidget(text, row, 2);
}

QString AudioPropertiesPage::DecibelText(long hundredths) {
    return QString::number(static_cast<double>(hundredths) / 100.0, 'f', 2) + QStringLiteral(" dB");
}
