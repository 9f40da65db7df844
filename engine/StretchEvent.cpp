#include "engine/StretchEvent.h"

#include <atomic>

namespace {

std::atomic<StretchEvent**> g_current_list{nullptr};

}  // namespace

StretchEvent::StretchEvent(float movie_pos, float tempo, StretchEvent** head)
    : m_movie_pos(movie_pos),
      m_audio_pos(0),
      m_virtual_byte_pos(0),
      m_real_byte_pos(0),
      m_tempo(tempo),
      m_next(nullptr),
      m_prev(nullptr) {
    Link(head);
}

void StretchEvent::Link(StretchEvent** head) {
    Link(head, nullptr);
}

void StretchEvent::Link(StretchEvent** head, StretchEvent* hint) {
    if (!head) return;
    // The predecessor is the last event at or before m_movie_pos: forward from a hint at or
    // before it, backward past every event after it otherwise.
    StretchEvent* predecessor = nullptr;
    if (hint && hint->m_movie_pos <= m_movie_pos) {
        predecessor = hint;
        while (predecessor->m_next && predecessor->m_next->m_movie_pos <= m_movie_pos)
            predecessor = predecessor->m_next;
    } else if (hint) {
        predecessor = hint->m_prev;
        while (predecessor && predecessor->m_movie_pos > m_movie_pos)
            predecessor = predecessor->m_prev;
    } else {
        for (StretchEvent* e = *head; e && e->m_movie_pos <= m_movie_pos; e = e->m_next)
            predecessor = e;
    }
    if (predecessor) {
        m_next = predecessor->m_next;
        m_prev = predecessor;
        predecessor->m_next = this;
        if (m_next) m_next->m_prev = this;
    } else {
        m_next = *head;
        m_prev = nullptr;
        if (m_next) m_next->m_prev = this;
        *head = this;
    }
}

StretchEvent::~StretchEvent() {
    // Destroy the tail from its far end, so that a long list does not recurse deeply.
    StretchEvent* last = this;
    while (last->m_next)
        last = last->m_next;
    while (last != this) {
        StretchEvent* before = last->m_prev;
        before->m_next = nullptr;
        last->m_prev = nullptr;
        delete last;
        last = before;
    }
    // A predecessor must not keep pointing at a destroyed event.
    if (m_prev && m_prev->m_next == this) m_prev->m_next = nullptr;
    m_next = nullptr;
    m_prev = nullptr;
}

void StretchEvent::Unlink(StretchEvent** head) {
    if (m_next) m_next->m_prev = m_prev;
    if (m_prev) {
        m_prev->m_next = m_next;
    } else if (head && *head == this) {
        *head = m_next;
    }
    m_next = nullptr;
    m_prev = nullptr;
}

StretchEvent** CurrentEventList() {
    return g_current_list.load();
}

void SetCurrentEventList(StretchEvent** head) {
    g_current_list.store(head);
}
