#pragma once
// Intrusive circular doubly linked lists with sentinel heads. An object that sits in
// two lists derives from two nodes told apart by their tag. A node that points to itself
// is in no list.

#include <cstdint>

template <class T, std::uint32_t Tag> struct DListNode {
    DListNode* prev;
    DListNode* next;

    DListNode() : prev(this), next(this) {}
    ~DListNode() { unlink(); }
    DListNode(const DListNode&) = delete;
    DListNode& operator=(const DListNode&) = delete;

    bool linked() const { return next != this; }

    void unlink()
    {
        prev->next = next;
        next->prev = prev;
        prev = next = this;
    }

    // Inserts `node` directly behind this one.
    void insertAfter(DListNode* node)
    {
        node->unlink();
        node->prev = this;
        node->next = next;
        next->prev = node;
        next = node;
    }

    // Inserts `node` in front of this one: at the end of a list whose head this is.
    // `node` leaves its old place first, which matters when it is that end already.
    void insertBefore(DListNode* node)
    {
        node->unlink();
        prev->insertAfter(node);
    }

    // The object that holds this node (never call on a head).
    T* object() { return static_cast<T*>(this); }

    // Detaches a head from its list, leaving the members linked to each other only.
    void detach()
    {
        if (linked()) {
            prev->next = next;
            next->prev = prev;
        }
        prev = next = this;
    }
};

// The four-character tag of a shape's table node.
constexpr std::uint32_t kMayaTag = 0x4D415941; // 'MAYA'
