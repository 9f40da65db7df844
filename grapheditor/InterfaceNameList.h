// InterfaceNameList: the names of the interfaces a filter object granted when it was probed,
// as a singly linked list of nodes; the list is its first node. Each node owns a copy of its
// name and the rest of the list behind it, so destroying the first node frees them all. New
// names go in front, so the list reads from the last name granted back to the first.
// Order of use: start with one node, Push names in front, ask Supports.
// Threading: the user-interface thread.
#pragma once

#include <memory>
#include <string>

class InterfaceNameList {
public:
    InterfaceNameList(const char* name, std::unique_ptr<InterfaceNameList> next);
    virtual ~InterfaceNameList();
    InterfaceNameList(const InterfaceNameList&) = delete;
    InterfaceNameList& operator=(const InterfaceNameList&) = delete;

    // Puts `name` in front of `list`.
    static void Push(std::unique_ptr<InterfaceNameList>& list, const char* name);

    // True at the first node, from this one on, whose name equals `name` exactly.
    bool Supports(const char* name) const;

    const std::string& Name() const { return m_name; }
    const InterfaceNameList* Next() const { return m_next.get(); }

private:
    std::string m_name;
    std::unique_ptr<InterfaceNameList> m_next;
};
