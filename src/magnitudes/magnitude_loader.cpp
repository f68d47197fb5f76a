// loadMagnitudes: merges the intrinsic magnitude file and the optional user
// override file into the magnitude catalogue.
//
// Both files have the same fixed-column layout (87 columns):
//   1-5 catalogue number (Alpha-5 from 100000 on); 0 ignored, 1 control line,
//   99999 end of file
//   7 flag letter, 9-16 detail text, 19-32 name, 34-37 intrinsic magnitude,
//   39-50 three sizes, 51-54 cross-section, 56-87 comment (56-78 with
//   detail listings)
// The intrinsic file is read in catalogue-number order and appended; each
// override line updates the entry of its number, or is inserted at its
// ordered place, or appended.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "format/catalogue_number.h"
#include "format/column_decoder.h"
#include "format/format_writer.h"
#include "format/text_record.h"
#include "magnitudes/magnitude_catalogue.h"
#include "magnitudes/magnitude_table.h"

namespace vespera {
namespace {

constexpr std::size_t kMagnitudeRecordLength = 87;
constexpr int32_t kIgnoredLineNcat = 0;
constexpr int32_t kControlLineNcat = 1;
constexpr int32_t kEndLineNcat = 99999;
// Comment columns: 56-87, or 56-78 when the report carries detail texts.
constexpr int kCommentFirstColumn = 56;
constexpr int kCommentColumns = 32;
constexpr int kDetailCommentColumns = 23;

// Console messages of the loader.
void write_intrinsic_missing(std::FILE* console) {
  static const Format format("('File for intrinsic magnitudes not found')");
  format.write(console, {});
}
void write_override_missing(std::FILE* console) {
  static const Format format("('User override file not found')");
  format.write(console, {});
}
void write_ncat_error(std::FILE* console, int32_t line) {
  static const Format format("('Error in NCAT value in intrinsic mag file at line',i5)");
  format.write(console, {line});
}
void write_duplicate(std::FILE* console, int32_t ncat, int32_t line) {
  static const Format format(
      "('Duplicate in intrinsic or user mag file: NCAT=',i6,' at line',i5)");
  format.write(console, {ncat, line});
}
void write_order_error(std::FILE* console, int32_t ncat, int32_t last, int32_t line) {
  static const Format format(
      "('Order error in intrinsic or user mag file: NCAT',i6,' is after',i6,' at line',i5)");
  format.write(console, {ncat, last, line});
}
void write_out_of_size_space(std::FILE* console) {
  static const Format format("('Out of size space - limit 4000')");
  format.write(console, {});
}
void write_out_of_comment_space(std::FILE* console, int32_t ncat) {
  static const Format format("('Out of comment space at NCAT=',a5)");
  format.write(console, {catalogue_number_field(ncat)});
}
void write_intrinsic_limit(std::FILE* console, int32_t ncat) {
  static const Format hit("('Hit limit of',i5,' reading intrinsic magnitudes file')");
  static const Format ignored("('Entries after NCAT=',a5,' will be ignored')");
  hit.write(console, {kMagnitudeTableCapacity});
  ignored.write(console, {catalogue_number_field(ncat)});
}
void write_override_limit(std::FILE* console, int32_t ncat) {
  static const Format hit("('Hit limit of',i5,' processing user override file')");
  static const Format ignored("('Entry NCAT=',a5,' will be ignored')");
  hit.write(console, {kMagnitudeTableCapacity});
  ignored.write(console, {catalogue_number_field(ncat)});
}

// Column `column` (1-based) of a record.
char column_char(std::string_view record, int column) {
  return record[static_cast<std::size_t>(column - 1)];
}
bool all_blank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// Whether a catalogue line with number `ncat` and flag letter `flag` is
// taken into the table under the run's selection. Flag letters select only
// while no override file is named and the first letter is not "-"; otherwise
// the flags d, g, h and l (objects not normally observed) are left out.
bool selected(const RunSettings& settings, bool overrideNamed, int32_t ncat, char flag) {
  if (settings.ncatListMode) {
    const int32_t n = std::clamp(settings.selectionCount, int32_t{0}, kMaxSelectedNcats);
    const auto end = settings.ncatList.begin() + n;
    return std::find(settings.ncatList.begin(), end, ncat) != end;
  }
  if (settings.selectionCount != 0 && !overrideNamed && settings.flagLetters[0] != '-') {
    const int32_t n = std::clamp(settings.selectionCount, int32_t{0}, kMaxFlagLetters);
    return settings.flagLetters.view().substr(0, static_cast<std::size_t>(n)).find(flag) !=
           std::string_view::npos;
  }
  return flag != 'd' && flag != 'g' && flag != 'h' && flag != 'l';
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

enum class FileKind { Intrinsic, UserOverride };

// The merge of one file after another into the catalogue.
class MagnitudeMerge {
 public:
  MagnitudeMerge(MagnitudeCatalogue& catalogue, const RunSettings& settings, bool overrideNamed,
                 int32_t& defaultMagnitudeBoundary, std::FILE* console)
      : catalogue_(catalogue),
        table_(catalogue.table),
        settings_(settings),
        overrideNamed_(overrideNamed),
        boundary_(defaultMagnitudeBoundary),
        console_(console) {}

  // Reads the file to its end, its 99999 line, or (intrinsic file) a full table.
  void read_file(TextRecordReader& reader, FileKind kind) {
    kind_ = kind;
    lastNumber_ = 0;
    lineNumber_ = 0;
    scanSlot_ = 1;
    std::string record;
    while (reader.read(kMagnitudeRecordLength, record)) {
      // Line numbers beyond 32 bits cannot be printed anyway; never overflow.
      if (lineNumber_ < INT32_MAX) ++lineNumber_;
      if (!merge_line(record)) break;
    }
  }

 private:
  // Merges one line; returns false when the file ends here.
  bool merge_line(std::string_view record) {
    bool error = false;
    int32_t ncat = 0;
    decodeCatalogueNumber(record, 1, 5, ncat, error);
    if (error) {
      write_ncat_error(console_, lineNumber_);
      return true;
    }
    if (ncat == kIgnoredLineNcat) return true;
    if (ncat == kControlLineNcat) {
      int32_t boundary = boundary_;
      decodeColumnField(record, 65, 69, boundary, error);
      if (!error) boundary_ = boundary;
      return true;
    }
    if (ncat == kEndLineNcat) return false;
    if (!selected(settings_, overrideNamed_, ncat, column_char(record, 7))) return true;
    if (ncat == lastNumber_) {
      write_duplicate(console_, ncat, lineNumber_);
      return true;
    }

    int32_t slot = 0;
    bool isNew = false;
    if (ncat < lastNumber_) {
      // Out of order: merged at its place, found by a scan from the start.
      if (!orderError_) {
        write_order_error(console_, ncat, lastNumber_, lineNumber_);
        orderError_ = true;
      }
      slot = table_.first_not_below(ncat, 1);
      if (slot > table_.count || table_[slot].ncat != ncat) {
        if (!table_.insert_at(slot)) return true;  // beyond the capacity: nothing stored
        isNew = true;
      }
    } else {
      lastNumber_ = ncat;
      slot = table_.count + 1;
      if (kind_ == FileKind::UserOverride) {
        // Lines in order continue the scan where the previous stored line was.
        slot = table_.first_not_below(ncat, scanSlot_);
        if (slot <= table_.count && table_[slot].ncat > ncat) {
          table_.insert_at(slot);
          isNew = true;
        }
      }
      if (slot > table_.count) {
        if (table_.full()) {
          if (kind_ == FileKind::Intrinsic) {
            write_intrinsic_limit(console_, ncat);
            return false;
          }
          write_override_limit(console_, ncat);
          return true;
        }
        ++table_.count;
        table_[slot] = MagnitudeEntry{};
        isNew = true;
        orderError_ = false;
      }
    }
    fill_entry(table_[slot], ncat, isNew, record);
    scanSlot_ = slot;
    return true;
  }

  // Stores a line's fields in its entry. A new entry takes every field; an
  // existing one only the fields whose columns are not blank.
  void fill_entry(MagnitudeEntry& entry, int32_t ncat, bool isNew, std::string_view record) {
    entry.ncat = ncat;
    if (isNew || column_char(record, 19) != ' ') {
      entry.name.assign(columns(record, 19, 32));
    }
    if (settings_.detailListing && (isNew || column_char(record, 9) != ' ')) {
      entry.detail.assign(columns(record, 9, 16));
    }
    if (isNew || column_char(record, 7) != ' ') entry.flag = column_char(record, 7);
    if (isNew || !all_blank(columns(record, 34, 37))) {
      // A magnitude that does not decode is unknown.
      bool error = false;
      float magnitude = 0.0f;
      decodeColumnField(record, 34, 37, magnitude, error);
      entry.magnitude = error ? 0.0f : magnitude;
    }
    if (!all_blank(columns(record, 39, 42))) {
      const SizeTriple triple{FixedText<4>(columns(record, 39, 42)),
                              FixedText<4>(columns(record, 43, 46)),
                              FixedText<4>(columns(record, 47, 50))};
      const int32_t index = catalogue_.sizeTriples.find_or_add(triple);
      if (index == 0) {
        write_out_of_size_space(console_);
      } else {
        entry.sizeIndex = static_cast<int16_t>(index);
      }
    }
    if (!all_blank(columns(record, 51, 54))) entry.crossSection.assign(columns(record, 51, 54));
    if (!all_blank(columns(record, 56, 59))) store_comment(entry, record);
  }

  void store_comment(MagnitudeEntry& entry, std::string_view record) {
    CommentPool& pool = catalogue_.commentPool;
    if (!pool.has_room()) {
      write_out_of_comment_space(console_, entry.ncat);
      return;
    }
    const int width = settings_.detailListing ? kDetailCommentColumns : kCommentColumns;
    std::string_view text = columns(record, kCommentFirstColumn, kCommentFirstColumn + width - 1);
    text = text.substr(0, text.find_last_not_of(' ') + 1);
    entry.commentIndex = static_cast<int16_t>(pool.store(text));
  }

  MagnitudeCatalogue& catalogue_;
  MagnitudeTable& table_;
  const RunSettings& settings_;
  const bool overrideNamed_;
  int32_t& boundary_;
  std::FILE* console_;

  FileKind kind_ = FileKind::Intrinsic;
  int32_t lastNumber_ = 0;
  int32_t lineNumber_ = 0;
  int32_t scanSlot_ = 1;
  bool orderError_ = false;  // off at the start of loading and after each appended entry
};

FileHandle open_for_reading(const FileName& name) {
  return FileHandle(std::fopen(std::string(name.trimmed()).c_str(), "rb"));
}

// A user override file is named unless its name is "none" (or blank).
bool names_override_file(const FileName& name) {
  const std::string_view trimmed = name.trimmed();
  return !trimmed.empty() && trimmed != "none";
}

void put_sentinel_if_empty(MagnitudeTable& table) {
  if (table.count != 0) return;
  table[1] = MagnitudeEntry{};
  table[1].ncat = kSentinelNcat;
  table.count = 1;
}

}  // namespace

void loadMagnitudes(MagnitudeCatalogue& catalogue, const RunSettings& settings,
                    int32_t& defaultMagnitudeBoundary, std::FILE* console) {
  catalogue.table.count = 0;
  FileHandle intrinsic = open_for_reading(settings.intrinsicFileName);
  if (!intrinsic) {
    write_intrinsic_missing(console);
    put_sentinel_if_empty(catalogue.table);
    return;
  }
  const bool overrideNamed = names_override_file(settings.userOverrideFileName);
  MagnitudeMerge merge(catalogue, settings, overrideNamed, defaultMagnitudeBoundary, console);
  {
    TextRecordReader reader(intrinsic.get(), std::string(settings.intrinsicFileName.trimmed()));
    merge.read_file(reader, FileKind::Intrinsic);
  }
  intrinsic.reset();

  if (overrideNamed) {
    FileHandle overrideFile = open_for_reading(settings.userOverrideFileName);
    if (!overrideFile) {
      write_override_missing(console);
    } else {
      TextRecordReader reader(overrideFile.get(),
                              std::string(settings.userOverrideFileName.trimmed()));
      merge.read_file(reader, FileKind::UserOverride);
    }
  }
  put_sentinel_if_empty(catalogue.table);
}

}  // namespace vespera
