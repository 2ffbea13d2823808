// The folders a desktop user owns, found the way the desktop's own tools find them, and the
// two file-system questions asked about them. Paths here are UTF-8 Linux paths without a
// trailing separator; an empty result means the folder is unknown.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorlin::platform {

// $HOME, or the password database's home folder when HOME is unset or not absolute.
std::string UserHomeFolder();

// $XDG_CONFIG_HOME when it is absolute, else HOME/.config.
std::string UserConfigFolder();

// The pictures folder as xdg-user-dir PICTURES gives it from the config folder's
// user-dirs.dirs, else HOME/Pictures.
std::string UserPicturesFolder();

// The value of XDG_PICTURES_DIR in the text of a user-dirs.dirs file: the last assignment,
// its "$HOME" prefix replaced by `home`; nullopt when there is none, when it is malformed, or
// when it does not name an absolute path.
std::optional<std::string> PicturesFolderFromUserDirs(std::string_view fileText, std::string_view home);

// Whether this process may create files in the folder.
bool FolderIsWritable(const std::string& folder);

// Creates the folder and any missing parents; whether it exists afterwards.
bool CreateFolders(const std::string& folder);

}  // namespace quorlin::platform
