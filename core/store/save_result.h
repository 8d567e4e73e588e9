#pragma once

#include <string>

namespace tovrin {

// The sentences a failed save is told in: %1 the file, %2 the system's reason. The windows take
// them from the language file; these are the built-in ones, which tovrin-cli shows too.
struct SaveTexts {
    std::string write = "Could not write %1: %2";
    std::string readOnly = "Could not write %1: %2 (the file is read-only)";
    std::string temporary = "Could not write %1 (no temporary file could be made beside it): %2";
    std::string replace = "Could not replace %1: %2";
    std::string unconfirmed =
        "%1 was written, but the system could not confirm it is safely on disk: %2";
    // How a file reached through a link is named: %1 the file, %2 where the link leads.
    std::string link = "%1 (a link to %2)";
};

// The step of a save that failed, so a message can say what went wrong in the user's terms.
enum class SaveStep {
    None,            // nothing failed
    Prepare,         // the content could not be put into the file's format
    Target,          // the file may not be written (read-only), or its links lead nowhere usable
    CreateTemporary, // the temporary file beside the target could not be made
    Write,           // writing, flushing or closing the temporary file failed
    Rename,          // the temporary file could not replace the target
    SyncDirectory,   // the new file is in place, but the folder entry could not be made durable
};

// What came of writing a file: success, or the step that failed and the system's reason (errno).
// Every failure before SyncDirectory leaves the previous file exactly as it was; after a
// SyncDirectory failure the new content is in place (FileReplaced()).
struct SaveResult {
    bool ok = true;
    int error = 0;
    SaveStep step = SaveStep::None;
    std::string file;   // the target, as the caller named it
    std::string target; // where file's links lead, when it is a link; empty otherwise

    explicit operator bool() const { return ok; }
    // The file now holds the new content, even if the system could not confirm it is on disk.
    [[nodiscard]] bool FileReplaced() const { return ok || step == SaveStep::SyncDirectory; }

    // One plain sentence for the user, for example
    // "Could not write Base/ztovrin.dat: No space left on device"; empty on success.
    [[nodiscard]] std::string Message() const { return Message(SaveTexts{}); }
    // The same sentence in the given words.
    [[nodiscard]] std::string Message(const SaveTexts& texts) const;

    static SaveResult Success(std::string file);
    static SaveResult Failure(std::string file, SaveStep step, int error);
};

} // namespace tovrin
