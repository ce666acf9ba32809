// This file implements the file loop: the search, the two file slots and the backup. The scanner
// reads the input slot and writes the output slot through one block buffer of its own.
#include "files/process_files.h"

#include <string>
#include <unordered_set>

#include "console/console.h"
#include "convert/scanner.h"
#include "files/io_report.h"
#include "files/processed_names.h"
#include "files/spec_parts.h"
#include "os/dir_search.h"
#include "os/file_system.h"
#include "os/io_codes.h"
#include "os/process.h"

namespace {

struct FileSlot {
  int Stream = -1;   // the open file's descriptor, -1 when closed
  std::string Path;  // the host path the file is bound to
  std::string Dir;   // parts of the specification, Dir ending in "\" or ":"
  std::string Name;
  std::string Ext;
  bool FirstSearch = true;
};

enum class SlotMode { Input, Output };

FileSlot InputSlot;
FileSlot OutputSlot;
FileIdentity SourceIdentity;  // what the output inherits from the file it replaces
bool WritingOutputFlag = false;
bool DoneFlag = false;
std::string FoundName;
// The backups this run made. Files that share a name and differ in extension (prog.pas and
// prog.inc) share a backup name, and deleting one of these would lose the original it holds.
std::unordered_set<std::string> BackupsMade;

bool EndsSearch(int code) {
  return code == IoFileNotFound || code == IoPathNotFound || code == IoNoFilenameMatch;
}

int AdvanceToNewName() {
  int code;
  do {
    code = AdvanceSearch(FoundName);
  } while (code == IoOk && !IsNewName(FoundName));
  return code;
}

void ShowSkipNotice() {
  SetColour(ColourNotice);
  ConsoleWrite("\rORVELT: Skipping over ");
  ConsoleWriteLine(FoundName);
  SetColour(ColourNormal);
}

// Input mode selects the next matching file and opens it; output mode creates the file under
// the name the input had when it was found.
void OpenSlot(FileSlot& slot, std::string_view spec, SlotMode mode) {
  const std::string_view withoutSpace = spec.substr(0, spec.size() - 1);
  SpecParts parts = SplitSpec(withoutSpace);
  slot.Dir = std::move(parts.Dir);
  slot.Name = std::move(parts.Name);
  slot.Ext = std::move(parts.Ext);
  std::string pattern(withoutSpace);
  if (slot.Ext.empty()) {
    slot.Ext = ".pas";
    pattern = slot.Dir + slot.Name + slot.Ext;
  }

  if (mode == SlotMode::Input) {
    EndIfInterrupted();
    int code;
    bool firstFailed = false;
    if (slot.FirstSearch) {
      code = StartSearch(HostPath(pattern), FoundName);
      slot.FirstSearch = false;
      firstFailed = EndsSearch(code);
    } else {
      code = AdvanceToNewName();
    }
    while (code == IoOk && FoundName.find(".old") != std::string::npos) {
      AddProcessed(FoundName);
      ShowSkipNotice();
      FoundName.clear();
      code = AdvanceToNewName();
    }
    if (EndsSearch(code)) {
      if (firstFailed) ReportIoError(code, IoReport::NotFatal);
      DoneFlag = true;
      return;
    }
    ReportIoError(code, IoReport::Fatal);
    AddProcessed(FoundName);
  }

  slot.Path = HostPath(slot.Dir, FoundName);
  int code;
  if (mode == SlotMode::Input) {
    code = OpenForReading(slot.Path, slot.Stream, SourceIdentity);
  } else {
    code = CreateExclusive(slot.Path, SourceIdentity, slot.Stream);
    WritingOutputFlag = true;
  }
  ReportIoError(code, IoReport::Fatal);
}

// Turns the open input into its backup: the found name with ".old" for its extension.
void MakeBackup(FileSlot& slot) {
  slot.Ext = ".old";
  const std::string backup = HostPath(slot.Dir, StemOfEntryName(FoundName)) + slot.Ext;
  // Ignored: a missing backup (2) and an undeletable one (5) alike; the latter stops the rename.
  // On a file system that ignores letter case, PROG.OLD's backup PROG.old is PROG.OLD itself,
  // and Linux would delete it although it is open: then it counts as undeletable. So does a
  // backup of this run, which holds the only copy of another file's original.
  if (!IsLastNameOf(backup, slot.Stream) && !BackupsMade.contains(backup)) {
    static_cast<void>(DeleteFile(backup));
  }
  if (int code = CloseFile(slot.Stream)) FailIoChecked("close " + slot.Path, code);
  if (int code = RenameNoReplace(slot.Path, backup)) {
    FailIoChecked("rename " + slot.Path + " to " + backup, code);
  }
  BackupsMade.insert(backup);
  slot.Path = backup;
  if (int code = OpenForReading(slot.Path, slot.Stream, SourceIdentity)) {
    FailIoChecked("open " + slot.Path, code);
  }
}

void CloseSlot(FileSlot& slot) {
  if (&slot == &InputSlot) WritingOutputFlag = false;
  if (int code = CloseFile(slot.Stream)) FailIoChecked("close " + slot.Path, code);
}

void ConvertInput(const RunOptions& options) {
  const ConversionStreams streams = {
      .read =
          [](char* buffer, std::size_t capacity) {
            EndIfInterrupted();
            std::size_t got;
            if (int code = ReadBlock(InputSlot.Stream, buffer, capacity, got)) {
              FailIoChecked("read from " + InputSlot.Path, code);
            }
            return got;
          },
      .write =
          [](std::string_view bytes) {
            if (int code = WriteBlock(OutputSlot.Stream, bytes)) {
              FailIoChecked("write to " + OutputSlot.Path, code);
            }
          },
  };
  ConvertStream(streams, options, !options.OptQuiet && ConsoleShown());
}

}  // namespace

void ProcessFiles(std::string_view paramLine, const RunOptions& options) {
  DoneFlag = false;
  BackupsMade.clear();
  InputSlot.FirstSearch = OutputSlot.FirstSearch = true;
  for (;;) {
    OpenSlot(InputSlot, paramLine, SlotMode::Input);
    if (DoneFlag) break;
    MakeBackup(InputSlot);
    OpenSlot(OutputSlot, paramLine, SlotMode::Output);
    ConvertInput(options);
    if (options.OptDelete) {
      // The backup goes only once the conversion is on the disk.
      if (int code = SyncToDisk(OutputSlot.Stream, OutputSlot.Path)) {
        FailIoChecked("sync " + OutputSlot.Path, code);
      }
    }
    CloseSlot(OutputSlot);
    CloseSlot(InputSlot);
    // A failed deletion stays pending: the next open or console write reports it.
    if (options.OptDelete) SetPendingIoCode(DeleteFile(InputSlot.Path));
  }
}

bool WritingOutput() {
  return WritingOutputFlag;
}

bool OutputSlotOpen() {
  return OutputSlot.Stream >= 0;
}

void CloseOutputSlotQuietly() {
  static_cast<void>(CloseFile(OutputSlot.Stream));
}
