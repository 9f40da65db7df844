// One stretching event: from m_movie_pos (seconds) on, the source audio plays m_tempo percent
// faster (negative: slower), until the next event. The record also carries the paquet that
// the stretched stream computes for it (its start in the virtual and in the source file).
//
// A list is a head slot owned by its holder; events are linked in non-decreasing movie
// position, ties in creation order, and each event owns its successors: destroying one
// destroys the tail after it. Not thread-safe: edits and the streams that read the list
// must be serialised by the caller.
#pragma once

#include <cstdint>

class StretchEvent {
public:
    // Creates the event and links it into the list at its sorted place (after equal ones).
    StretchEvent(float movie_pos, float tempo, StretchEvent** head);
    virtual ~StretchEvent();  // destroys the events after it
    StretchEvent(const StretchEvent&) = delete;
    StretchEvent& operator=(const StretchEvent&) = delete;

    // Takes the event out of the list; it may then be destroyed on its own.
    void Unlink(StretchEvent** head);
    // Links an unlinked event into the list at its sorted place by m_movie_pos (after equal
    // ones), as the constructor does; the events editor moves an event with Unlink, then Link.
    void Link(StretchEvent** head);
    // The same place, found by walking from `hint` (an event of the list, or null for the
    // head): linking events in nearly sorted order next to the previous one stays linear.
    void Link(StretchEvent** head, StretchEvent* hint);

    // The source position where the paquet starts. It lies before the data (negative) when
    // the event falls inside the leading silence of a positive offset; m_real_byte_pos then
    // holds its 32-bit two's complement.
    int32_t SignedRealBytePos() const { return static_cast<int32_t>(m_real_byte_pos); }

    float m_movie_pos;
    float m_audio_pos;
    uint32_t m_virtual_byte_pos;
    uint32_t m_real_byte_pos;
    float m_tempo;
    StretchEvent* m_next;
    StretchEvent* m_prev;
};

// The head slot of the process's one event list, which every stream reads, or null.
StretchEvent** CurrentEventList();
void SetCurrentEventList(StretchEvent** head);
