#pragma once
// The catalogue `lstFoundFiles`: the full paths of the audio files found, in
// the order they were added (never sorted), up to the list's capacity, and the
// search that picks the entries holding a piece of text.

#include <QStringList>
#include <optional>

namespace varonel::core {

// Shown once when a walk meets a full list; the walk then ends.
inline constexpr char kListFullMessage[] = "La zone de liste est pleine. Recherche abandonnée...";

class CatalogueList {
public:
    // Counts and indices of the list are 16-bit.
    static constexpr int kCapacity = 32767;
    // A shorter search text searches nothing.
    static constexpr int kMinimumSearchChars = 2;

    // `capacity` other than kCapacity is for tests.
    explicit CatalogueList(int capacity = kCapacity) : m_capacity(capacity) {}

    // Adds the entry at the end; false, and nothing added, when the list is full.
    bool append(const QString& entry);
    void clear();

    const QStringList& entries() const { return m_entries; }
    int count() const { return static_cast<int>(m_entries.size()); }
    int capacity() const { return m_capacity; }

    // The entries, from first to last, that contain `text` once both are in
    // upper case, folder names included. No answer for a text of fewer than
    // two characters: the results shown are then left as they are.
    std::optional<QStringList> search(const QString& text) const;

private:
    int m_capacity;
    QStringList m_entries;
    // Each entry upper-cased once as it arrives rather than at every search,
    // so that a search over a full list stays a plain scan.
    QStringList m_upperEntries;
};

}  // namespace varonel::core
