#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>

// A least-recently-used cache bounded both by its number of entries and by their total size in bytes.
// Values are shared, so an entry evicted while a caller still holds it stays valid for that caller.
namespace kestrova {

template <class Key, class Value, class Hash = std::hash<Key>> class TileCache {
public:
    TileCache(std::size_t maxEntries, std::size_t maxBytes) : m_maxEntries(maxEntries), m_maxBytes(maxBytes) {}

    // The entry (now the most recent), or nullptr. found tells a cached empty entry from no entry.
    std::shared_ptr<Value> find(const Key& key, bool* found = nullptr) {
        const auto it = m_index.find(key);
        if (found)
            *found = it != m_index.end();
        if (it == m_index.end())
            return nullptr;
        m_order.splice(m_order.begin(), m_order, it->second);
        return it->second->value;
    }

    // Stores the value (nullptr records that there is nothing) with its size, then evicts the least recent
    // entries until both bounds hold again; the newest entry is never evicted.
    void insert(const Key& key, std::shared_ptr<Value> value, std::size_t bytes) {
        erase(key);
        m_order.push_front({key, std::move(value), bytes});
        m_index.emplace(key, m_order.begin());
        m_bytes += bytes;
        trim();
    }

    // Records a new size for an entry whose value grew or shrank.
    void resize(const Key& key, std::size_t bytes) {
        const auto it = m_index.find(key);
        if (it == m_index.end())
            return;
        m_bytes = m_bytes - it->second->bytes + bytes;
        it->second->bytes = bytes;
        trim();
    }

    void erase(const Key& key) {
        const auto it = m_index.find(key);
        if (it == m_index.end())
            return;
        m_bytes -= it->second->bytes;
        m_order.erase(it->second);
        m_index.erase(it);
    }

    void clear() {
        m_order.clear();
        m_index.clear();
        m_bytes = 0;
    }

    std::size_t size() const { return m_order.size(); }
    std::size_t bytes() const { return m_bytes; }

private:
    struct Entry {
        Key key;
        std::shared_ptr<Value> value;
        std::size_t bytes;
    };

    void trim() {
        while (m_order.size() > 1 && (m_order.size() > m_maxEntries || m_bytes > m_maxBytes)) {
            m_bytes -= m_order.back().bytes;
            m_index.erase(m_order.back().key);
            m_order.pop_back();
        }
    }

    std::size_t m_maxEntries;
    std::size_t m_maxBytes;
    std::list<Entry> m_order;
    std::unordered_map<Key, typename std::list<Entry>::iterator, Hash> m_index;
    std::size_t m_bytes = 0;
};

} // namespace kestrova
