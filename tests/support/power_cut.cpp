#include "power_cut.h"

#include <algorithm>
#include <random>
#include <unordered_set>

namespace {

using os_file::DiskOp;
constexpr size_t kSector = 512;

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

// One write since a flush: the file before it, and the sectors it covers.
struct Write {
  std::string before;
  size_t from, to;  // sectors
};

// One file's bytes: durable as flushed, and what happened since.
struct Inode {
  std::string flushed;
  std::string latest;
  std::vector<std::string> writtenImages;  // after each write since the flush
  std::vector<Write> writes;               // each write since the flush
  std::vector<size_t> lengths;             // after each change since the flush
  size_t lastName = 0;                     // names changes up to its creation or rename
};

struct NameChange {
  DiskOp::Kind kind;
  std::string name, to;
  int inode;
};

std::string SectorOf(const std::string& image, size_t s) {
  std::string sector = s * kSector < image.size() ? image.substr(s * kSector, kSector) : std::string();
  sector.resize(kSector, '\0');
  return sector;
}

// The choices a cut leaves one file: a length and a version per sector.
struct FileChoices {
  std::string name;
  std::vector<size_t> lengths;
  std::vector<std::vector<std::string>> sectors;
};

FileChoices ChoicesOf(const std::string& name, const Inode& inode) {
  FileChoices choices{name, {inode.flushed.size()}, {}};
  for (size_t length : inode.lengths) choices.lengths.push_back(length);
  std::sort(choices.lengths.begin(), choices.lengths.end());
  choices.lengths.erase(std::unique(choices.lengths.begin(), choices.lengths.end()), choices.lengths.end());
  size_t sectors = (choices.lengths.back() + kSector - 1) / kSector;
  for (size_t s = 0; s < sectors; ++s) {
    std::vector<std::string> versions{SectorOf(inode.flushed, s)};
    for (const std::string& image : inode.writtenImages) {
      std::string version = SectorOf(image, s);
      if (std::find(versions.begin(), versions.end(), version) == versions.end()) versions.push_back(version);
    }
    choices.sectors.push_back(std::move(versions));
  }
  return choices;
}

// The file one set of choices gives: digit 0 picks the length, digit s + 1
// the version of sector s.
std::string Compose(const FileChoices& file, const std::vector<size_t>& digits) {
  std::string bytes;
  for (size_t s = 0; s < file.sectors.size(); ++s) bytes += file.sectors[s][digits[s + 1]];
  bytes.resize(file.lengths[digits[0]]);
  return bytes;
}

class Disk {
 public:
  explicit Disk(const Folder& initial) {
    for (const auto& [name, bytes] : initial) {
      m_names[name] = static_cast<int>(m_inodes.size());
      m_inodes.push_back({bytes, bytes, {}, {}, {}, 0});
    }
    m_initialNames = m_names;
  }

  void Apply(const DiskOp& op) {
    const std::string name = NameOf(op.path);
    switch (op.kind) {
      case DiskOp::Create:
        m_inodes.push_back({});
        Rename(DiskOp::Create, name, name, static_cast<int>(m_inodes.size() - 1));
        break;
      case DiskOp::Rename:
        Rename(DiskOp::Rename, name, NameOf(op.to), m_names.at(name));
        break;
      case DiskOp::Remove:
        Rename(DiskOp::Remove, name, name, m_names.at(name));
        break;
      case DiskOp::Write: {
        Inode& file = m_inodes[m_names.at(name)];
        size_t at = static_cast<size_t>(op.at);
        if (!op.bytes.empty())
          file.writes.push_back({file.latest, at / kSector, (at + op.bytes.size() + kSector - 1) / kSector});
        if (file.latest.size() < at + op.bytes.size()) file.latest.resize(at + op.bytes.size(), '\0');
        file.latest.replace(at, op.bytes.size(), op.bytes);
        file.writtenImages.push_back(file.latest);
        file.lengths.push_back(file.latest.size());
        break;
      }
      case DiskOp::Truncate: {
        Inode& file = m_inodes[m_names.at(name)];
        file.latest.resize(static_cast<size_t>(op.at), '\0');
        file.lengths.push_back(file.latest.size());
        break;
      }
      case DiskOp::Flush: {
        Inode& file = m_inodes[m_names.at(name)];
        file.flushed = file.latest;
        file.writtenImages.clear();
        file.writes.clear();
        file.lengths.clear();
        m_committed = std::max(m_committed, file.lastName);
        break;
      }
      case DiskOp::FlushFolder:
        m_committed = m_changes.size();
        break;
    }
  }

  // The folders a cut now may leave.
  void ForEachCut(size_t limit, std::mt19937& random, const std::function<void(const Folder&)>& visit) const {
    for (size_t kept = m_committed; kept <= m_changes.size(); ++kept) {
      const std::map<std::string, int> names = NamesAfter(kept);
      std::vector<FileChoices> files;
      for (const auto& [name, inode] : names) files.push_back(ChoicesOf(name, m_inodes[inode]));
      std::vector<size_t> radix;
      for (const FileChoices& file : files) {
        radix.push_back(file.lengths.size());
        for (const auto& versions : file.sectors) radix.push_back(versions.size());
      }
      double total = 1;
      for (size_t r : radix) total *= static_cast<double>(r);
      auto emit = [&](const std::vector<size_t>& digits) {
        Folder folder;
        size_t d = 0;
        for (const FileChoices& file : files) {
          std::vector<size_t> own(digits.begin() + d, digits.begin() + d + 1 + file.sectors.size());
          folder[file.name] = Compose(file, own);
          d += own.size();
        }
        visit(folder);
      };
      std::vector<size_t> digits(radix.size(), 0);
      if (total <= static_cast<double>(limit)) {
        for (;;) {
          emit(digits);
          size_t i = 0;
          while (i < digits.size() && ++digits[i] == radix[i]) digits[i++] = 0;
          if (i == digits.size()) break;
        }
        continue;
      }
      emit(digits);  // the oldest
      for (size_t i = 0; i < digits.size(); ++i) digits[i] = radix[i] - 1;
      emit(digits);  // the newest
      ForEachPrefixTorn(names, visit);
      for (size_t n = 0; n < limit; ++n) {
        for (size_t i = 0; i < digits.size(); ++i) digits[i] = random() % radix[i];
        emit(digits);
      }
    }
  }

 private:
  void Rename(DiskOp::Kind kind, const std::string& name, const std::string& to, int inode) {
    m_changes.push_back({kind, name, to, inode});
    if (kind == DiskOp::Remove) {
      m_names.erase(name);
    } else {
      m_names.erase(name);
      m_names[to] = inode;
      m_inodes[inode].lastName = m_changes.size();
    }
  }

  // Each write since a file's flush cut at each of its sectors, the writes
  // before it whole and those after it absent, at the length before or
  // after it; every other file at its oldest or its newest.
  void ForEachPrefixTorn(const std::map<std::string, int>& names,
                         const std::function<void(const Folder&)>& visit) const {
    for (const bool othersNewest : {false, true}) {
      Folder others;
      for (const auto& [name, inode] : names)
        others[name] = othersNewest ? m_inodes[inode].latest : m_inodes[inode].flushed;
      for (const auto& [name, inode] : names) {
        const Inode& file = m_inodes[inode];
        for (size_t w = 0; w < file.writes.size(); ++w) {
          const Write& write = file.writes[w];
          const std::string& after = file.writtenImages[w];
          for (size_t cut = write.from; cut <= write.to; ++cut) {
            std::string torn = after;
            torn.resize(std::max(after.size(), write.before.size()), '\0');
            const size_t newFrom = std::min(cut * kSector, torn.size());
            torn.replace(newFrom, torn.size() - newFrom, write.before.substr(std::min(newFrom, write.before.size())));
            torn.resize(std::max(after.size(), write.before.size()), '\0');
            for (const size_t length : {write.before.size(), after.size()}) {
              Folder folder = others;
              folder[name] = torn.substr(0, length);
              visit(folder);
            }
          }
        }
      }
    }
  }

  std::map<std::string, int> NamesAfter(size_t kept) const {
    std::map<std::string, int> names = m_initialNames;
    for (size_t i = 0; i < kept; ++i) {
      const NameChange& change = m_changes[i];
      names.erase(change.name);
      if (change.kind != DiskOp::Remove) names[change.to] = change.inode;
    }
    return names;
  }

  std::vector<Inode> m_inodes;
  std::map<std::string, int> m_names, m_initialNames;
  std::vector<NameChange> m_changes;
  size_t m_committed = 0;  // changes of names durable whatever happens
};

}  // namespace

size_t ForEachPowerCut(const Folder& initial, const std::vector<DiskOp>& log, size_t limit, unsigned seed,
                       const std::function<void(const Folder&, size_t point)>& visit) {
  Disk disk(initial);
  std::mt19937 random(seed);
  std::unordered_set<std::string> seen;
  size_t visited = 0;
  for (size_t point = 0; point <= log.size(); ++point) {
    if (point > 0) disk.Apply(log[point - 1]);
    disk.ForEachCut(limit, random, [&](const Folder& folder) {
      std::string key;
      for (const auto& [name, bytes] : folder) key += name + '\0' + std::to_string(bytes.size()) + '\0' + bytes;
      if (!seen.insert(std::move(key)).second) return;
      ++visited;
      visit(folder, point);
    });
  }
  return visited;
}
