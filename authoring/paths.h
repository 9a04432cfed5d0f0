// Paths as the authoring tools handle them: UTF-8, in Windows form (either
// separator accepted, "\" written), ASCII letters compared without regard to
// case as Windows does. Portable: nothing here asks the file system.
#pragma once

#include <string>

bool isAbsolutePath(const std::string& path);
// The file name without its folder ("1.png" for "media/1.png").
std::string fileName(const std::string& path);
// The folder of a file, with its trailing separator; "" for a bare name.
std::string folderOf(const std::string& file);
// The file name of a path without its folder and extension ("histoire" for
// "C:\\Quiz\\histoire.csv").
std::string fileStem(const std::string& path);
// The path with its extension (from the last dot of the file name) replaced by
// `extension`, or `extension` appended when the file name has none.
std::string withExtension(const std::string& path, const char* extension);
// Whether the file name ends in `extension` (".toml"), ignoring ASCII case
// as Windows file names do.
bool hasExtension(const std::string& path, const char* extension);
// The extension without its dot, in lower case; "" when there is none.
std::string extensionOf(const std::string& path);
// ASCII letters in lower case, the rest as it is.
std::string loweredAscii(std::string text);

// "." and ".." resolved, separators made "\"; a ".." above the root is dropped.
std::string normalisedPath(const std::string& path);
// `file` as seen from `folder` ("media/1.png"), when it lies inside it; "" otherwise.
std::string relativeInside(const std::string& folder, const std::string& file);
// `name` inside `folder` ("C:\q" and "1.png" give "C:\q\1.png").
std::string joinPath(const std::string& folder, const std::string& name);
// The path with every "/" made "\", as messages show paths.
std::string windowsPath(std::string path);

// Joins a media path of the model to the source file's folder (absolute
// paths are kept).
std::string mediaPath(const std::string& sourceFile, const std::string& relative);
// The folder beside a source where media are kept when they come from
// elsewhere or out of a player: "formes-media" for "formes.toml".
std::string mediaFolderName(const std::string& sourceFile);
