#include "engine/StretchEvent.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<StretchEvent*> Walk(StretchEvent* head) {
    std::vector<StretchEvent*> events;
    for (StretchEvent* e = head; e; e = e->m_next)
        events.push_back(e);
    return events;
}

// Checks the list invariants: sorted, back links mirror forward links, head has no m_prev.
void ExpectConsistent(StretchEvent* head) {
    if (!head) return;
    EXPECT_EQ(head->m_prev, nullptr);
    for (StretchEvent* e = head; e->m_next; e = e->m_next) {
        EXPECT_EQ(e->m_next->m_prev, e);
        EXPECT_LE(e->m_movie_pos, e->m_next->m_movie_pos);
    }
}

TEST(StretchEventList, insert_into_empty_list_makes_a_lone_head) {
    StretchEvent* head = nullptr;
    auto* e = new StretchEvent(1.5f, 10.0f, &head);
    EXPECT_EQ(head, e);
    EXPECT_EQ(e->m_next, nullptr);
    EXPECT_EQ(e->m_prev, nullptr);
    EXPECT_EQ(e->m_audio_pos, 0.0f);
    EXPECT_EQ(e->m_virtual_byte_pos, 0u);
    EXPECT_EQ(e->m_real_byte_pos, 0u);
    delete head;
}

TEST(StretchEventList, events_are_kept_sorted_and_a_smaller_one_becomes_head) {
    StretchEvent* head = nullptr;
    auto* b = new StretchEvent(5.0f, 0, &head);
    auto* c = new StretchEvent(9.0f, 0, &head);
    auto* a = new StretchEvent(1.0f, 0, &head);
    auto* m = new StretchEvent(7.0f, 0, &head);
    EXPECT_EQ(Walk(head), (std::vector<StretchEvent*>{a, b, m, c}));
    EXPECT_EQ(b->m_prev, a);  // the former head chains from the new one
    ExpectConsistent(head);
    delete head;
}

TEST(StretchEventList, equal_positions_keep_creation_order) {
    StretchEvent* head = nullptr;
    auto* before = new StretchEvent(1.0f, 0, &head);
    auto* a = new StretchEvent(3.0f, 1, &head);
    auto* b = new StretchEvent(3.0f, 2, &head);
    auto* c = new StretchEvent(3.0f, 3, &head);
    EXPECT_EQ(Walk(head), (std::vector<StretchEvent*>{before, a, b, c}));
    ExpectConsistent(head);
    delete head;
}

TEST(StretchEventList, unlink_head_middle_and_tail) {
    StretchEvent* head = nullptr;
    auto* a = new StretchEvent(1, 0, &head);
    auto* b = new StretchEvent(2, 0, &head);
    auto* c = new StretchEvent(3, 0, &head);
    auto* d = new StretchEvent(4, 0, &head);

    a->Unlink(&head);
    EXPECT_EQ(head, b);
    EXPECT_EQ(b->m_prev, nullptr);
    EXPECT_EQ(a->m_next, nullptr);
    delete a;

    c->Unlink(&head);
    EXPECT_EQ(Walk(head), (std::vector<StretchEvent*>{b, d}));
    EXPECT_EQ(d->m_prev, b);
    delete c;

    d->Unlink(&head);
    EXPECT_EQ(Walk(head), (std::vector<StretchEvent*>{b}));
    delete d;
    ExpectConsistent(head);
    delete head;
}

TEST(StretchEventList, destroying_a_middle_event_removes_it_and_the_tail) {
    StretchEvent* head = nullptr;
    auto* a = new StretchEvent(1, 0, &head);
    auto* b = new StretchEvent(2, 0, &head);
    new StretchEvent(3, 0, &head);
    delete b;
    EXPECT_EQ(Walk(head), (std::vector<StretchEvent*>{a}));
    EXPECT_EQ(a->m_next, nullptr);
    delete head;
}

TEST(StretchEventList, destroying_a_long_list_does_not_exhaust_the_stack) {
    StretchEvent* head = nullptr;
    StretchEvent* last = nullptr;
    for (int i = 0; i < 200000; ++i) {
        // Appending at the tail: build from the end so each insert is O(1).
        last = new StretchEvent(static_cast<float>(-i), 0, &head);
    }
    EXPECT_EQ(head, last);
    delete head;
}

TEST(StretchEventList, current_list_slot_is_process_wide) {
    StretchEvent* head = nullptr;
    StretchEvent** before = CurrentEventList();
    SetCurrentEventList(&head);
    EXPECT_EQ(CurrentEventList(), &head);
    SetCurrentEventList(before);
}

// Linking from a hint (the event linked before) gives the very list that linking from the
// head gives, whatever the order of arrival: ascending, descending, ties, scattered.
TEST(StretchEventList, linking_from_a_hint_matches_linking_from_the_head) {
    const std::vector<std::vector<float>> orders = {
        {1, 2, 3, 4, 5},       {5, 4, 3, 2, 1}, {2, 2, 1, 2, 1, 3, 3, 0},
        {3, 1, 4, 1, 5, 9, 2}, {0, 0, 0},       {7, 8, 2, 9, 10, 1, 11, 8}};
    for (const auto& positions : orders) {
        StretchEvent* from_head = nullptr;
        StretchEvent* from_hint = nullptr;
        StretchEvent* previous = nullptr;
        for (size_t i = 0; i < positions.size(); ++i) {
            const float id = static_cast<float>(i);  // the tempo tells equal positions apart
            new StretchEvent(positions[i], id, &from_head);
            auto* e = new StretchEvent(positions[i], id, nullptr);
            e->Link(&from_hint, previous);
            previous = e;
        }
        ExpectConsistent(from_hint);
        const auto expected = Walk(from_head);
        const auto actual = Walk(from_hint);
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(actual[i]->m_movie_pos, expected[i]->m_movie_pos);
            EXPECT_EQ(actual[i]->m_tempo, expected[i]->m_tempo) << "order " << i;
        }
        delete from_head;
        delete from_hint;
    }
}

}  // namespace
