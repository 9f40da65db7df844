#include "app/StretcherApp.h"

#include "app/MainWindow.h"
#include "engine/StretchEvent.h"

namespace {
StretcherApp* g_application = nullptr;
}

StretcherApp::StretcherApp() {
    g_application = this;
}

StretcherApp::~StretcherApp() {
    if (g_application == this) g_application = nullptr;
}

StretcherApp* StretcherApp::Instance() {
    return g_application;
}

bool StretcherApp::InitInstance() {
    MainWindow window;
    m_main_window = &window;
    window.OpenOnStart(m_files_to_open);
    // Set before the window can make a stream: a stream reads the list as it is made.
    SetCurrentEventList(&window.m_events);
    window.DoModal();
    SetCurrentEventList(nullptr);
    m_main_window = nullptr;
    return false;
}
