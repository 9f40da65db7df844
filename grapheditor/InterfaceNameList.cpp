#include "grapheditor/InterfaceNameList.h"

#include <utility>

InterfaceNameList::InterfaceNameList(const char* name, std::unique_ptr<InterfaceNameList> next)
    : m_name(name ? name : ""), m_next(std::move(next)) {}

InterfaceNameList::~InterfaceNameList() = default;

void InterfaceNameList::Push(std::unique_ptr<InterfaceNameList>& list, const char* name) {
    list = std::make_unique<InterfaceNameList>(name, std::move(list));
}

bool InterfaceNameList::Supports(const char* name) const {
    if (!name) return false;
    for (const InterfaceNameList* node = this; node; node = node->m_next.get()) {
        if (node->m_name == name) return true;
    }
    return false;
}
