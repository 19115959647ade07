// The access layer's collections, under the names its callers use.
#pragma once

#include <unordered_map>
#include <vector>

namespace zenta {

// An ordered, growable array.
template <class T>
using CQVVector = std::vector<T>;

// A hash map; the constructor's argument is the number of buckets of its
// table (CQVMap<K, V> mapa(59)).
template <class K, class V>
using CQVMap = std::unordered_map<K, V>;

}  // namespace zenta
