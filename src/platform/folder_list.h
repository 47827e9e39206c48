// The folder list, a model the window shows in a list box.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/services.h"

namespace tesoro {

class FileList;

// Folder list: the current path's folders from the root down (opened), then the current folder's
// subfolders. Opening an entry (double click, Enter) makes it the path.
class FolderList : public Control {
public:
    struct Item {
        std::wstring name;  // shown text: "c:\" for the root, else the folder's name
        std::wstring path;  // full path
        int depth;          // indentation level, 0 for the root
        bool opened;        // on the path (open folder picture) or a subfolder (closed)
    };
    // With a file pattern, the files of the start folder under it are read along with its subfolders,
    // for a file list that starts there to take (FileList's constructor from a folder list).
    FolderList(int id, Control* parent, Rect rect, FileSystem& fs, const std::wstring& filePattern = {});
    // A second list made at the same moment: it starts where the first one did, from the same reading.
    FolderList(int id, Control* parent, Rect rect, const FolderList& sameFolder);
    std::function<void()> onChange;

    const std::wstring& Path() const { return path_; }
    // A drive value ("c:" or "c: [LABEL]") moves to the folder the system keeps current for that drive;
    // anything else must be an existing folder. Throws PlatformError when the folder cannot be read; the
    // list then stays where it was. Raises Change when the path differs.
    void SetPath(const std::wstring& value);
    const std::vector<Item>& Items() const { return items_; }
    int ListIndex() const { return index_; }  // the highlighted entry
    void Highlight(int index);                // a single click or arrow key: no change of path
    void OpenItem(int index);                 // double click or Enter
    void Refresh();
    // Moves to the other list's path as SetPath does, taking the folders the other list has just read
    // instead of reading the same folder again.
    void Follow(const FolderList& other);
    // From now on, a move to another folder reads the files `files` would show there along with the
    // subfolders, for it to take with FileList::Follow instead of reading the folder again.
    void ReadFilesFor(const FileList& files);
    // The files read along with the shown folder under that pattern, handed over once; nullopt when
    // none were.
    std::optional<std::vector<std::wstring>> TakeFiles(const std::wstring& pattern);

private:
    struct FilesRead {
        std::wstring pattern;
        std::vector<std::wstring> names;
    };
    void Load(const std::wstring& path, const std::wstring& filePattern);
    void Show(const std::wstring& path, std::vector<Item> items, std::optional<FilesRead> files);
    FileSystem& fs_;
    std::wstring path_;
    std::vector<Item> items_;
    int index_ = -1;
    const FileList* filesFor_ = nullptr;
    std::optional<FilesRead> filesRead_;
};

}  // namespace tesoro
