#pragma once
// TArray: the engine's dynamic array with int32 indices (check on out-of-range access).
#include "Misc/AssertionMacros.h"
#include "Containers/ContainerAllocationPolicies.h"
#include <algorithm>
#include <initializer_list>
#include <vector>

template <typename T, typename Allocator = FDefaultAllocator>
class TArray {
public:
    typedef T ElementType;
    typedef Allocator AllocatorType;
    TArray() = default;
    TArray(std::initializer_list<T> Init) : Data(Init) {}
    TArray(const T* Ptr, int32 Count) : Data(Ptr, Ptr + Count) {}

    int32 Num() const { return static_cast<int32>(Data.size()); }
    int32 Max() const { return static_cast<int32>(Data.capacity()); }
    bool IsValidIndex(int32 Index) const { return Index >= 0 && Index < Num(); }
    T* GetData() { return Data.data(); }
    const T* GetData() const { return Data.data(); }
    T& operator[](int32 Index) { check(IsValidIndex(Index)); return Data[Index]; }
    const T& operator[](int32 Index) const { check(IsValidIndex(Index)); return Data[Index]; }
    T& Last(int32 IndexFromEnd = 0) { return (*this)[Num() - IndexFromEnd - 1]; }
    const T& Last(int32 IndexFromEnd = 0) const { return (*this)[Num() - IndexFromEnd - 1]; }
    T& Top() { return Last(); }

    int32 Add(const T& Item) { Grow(1); Data.push_back(Item); return Num() - 1; }
    int32 Add(T&& Item) { Grow(1); Data.push_back(std::move(Item)); return Num() - 1; }
    template <typename... ArgsType> int32 Emplace(ArgsType&&... Args) { Grow(1); Data.emplace_back(std::forward<ArgsType>(Args)...); return Num() - 1; }
    int32 AddUnique(const T& Item) { int32 Index = Find(Item); return Index != INDEX_NONE ? Index : Add(Item); }
    int32 AddZeroed(int32 Count = 1) { Grow(Count); int32 Index = Num(); Data.resize(Data.size() + Count, T()); return Index; }
    int32 AddDefaulted(int32 Count = 1) { return AddZeroed(Count); }
    int32 AddUninitialized(int32 Count = 1) { return AddZeroed(Count); }
    void Insert(const T& Item, int32 Index) { check(Index >= 0 && Index <= Num()); Data.insert(Data.begin() + Index, Item); }
    void Append(const TArray& Other) { Data.insert(Data.end(), Other.Data.begin(), Other.Data.end()); }
    void Append(const T* Ptr, int32 Count) { Data.insert(Data.end(), Ptr, Ptr + Count); }
    T Pop() { T Item = std::move(Last()); Data.pop_back(); return Item; }
    void RemoveAt(int32 Index, int32 Count = 1) { check(Index >= 0 && Count >= 0 && Index + Count <= Num()); Data.erase(Data.begin() + Index, Data.begin() + Index + Count); }
    int32 Remove(const T& Item) { auto Old = Data.size(); Data.erase(std::remove(Data.begin(), Data.end(), Item), Data.end()); return static_cast<int32>(Old - Data.size()); }
    int32 RemoveSingle(const T& Item) { int32 Index = Find(Item); if (Index == INDEX_NONE) return 0; RemoveAt(Index); return 1; }
    template <typename Predicate> int32 RemoveAll(const Predicate& Pred) { auto Old = Data.size(); Data.erase(std::remove_if(Data.begin(), Data.end(), Pred), Data.end()); return static_cast<int32>(Old - Data.size()); }
    void Reset(int32 NewSize = 0) { Data.clear(); Data.reserve(NewSize); }
    void Empty(int32 Slack = 0) { std::vector<T>().swap(Data); Data.reserve(Slack); }
    void SetNum(int32 NewNum) { Data.resize(NewNum); }
    void SetNumZeroed(int32 NewNum) { Data.resize(NewNum, T()); }
    void Reserve(int32 Number) { Data.reserve(Number); }
    void Init(const T& Element, int32 Number) { Data.assign(Number, Element); }

    int32 Find(const T& Item) const { auto It = std::find(Data.begin(), Data.end(), Item); return It == Data.end() ? INDEX_NONE : static_cast<int32>(It - Data.begin()); }
    bool Contains(const T& Item) const { return Find(Item) != INDEX_NONE; }
    template <typename Predicate> const T* FindByPredicate(Predicate Pred) const { auto It = std::find_if(Data.begin(), Data.end(), Pred); return It == Data.end() ? nullptr : &*It; }
    template <typename Predicate> T* FindByPredicate(Predicate Pred) { auto It = std::find_if(Data.begin(), Data.end(), Pred); return It == Data.end() ? nullptr : &*It; }
    template <typename Predicate> bool ContainsByPredicate(Predicate Pred) const { return FindByPredicate(Pred) != nullptr; }
    void Sort() { std::stable_sort(Data.begin(), Data.end()); }
    template <typename Predicate> void Sort(Predicate Pred) { std::stable_sort(Data.begin(), Data.end(), Pred); }

    bool operator==(const TArray& Other) const { return Data == Other.Data; }
    bool operator!=(const TArray& Other) const { return Data != Other.Data; }
    // Range-based for only, as in the engine: no begin()/end() members.
    friend typename std::vector<T>::iterator begin(TArray& Array) { return Array.Data.begin(); }
    friend typename std::vector<T>::iterator end(TArray& Array) { return Array.Data.end(); }
    friend typename std::vector<T>::const_iterator begin(const TArray& Array) { return Array.Data.begin(); }
    friend typename std::vector<T>::const_iterator end(const TArray& Array) { return Array.Data.end(); }

private:
    void Grow(int32 Count) const { check(int64(Num()) + Count <= int64(Allocator::MaxElements)); }
    std::vector<T> Data;
};
