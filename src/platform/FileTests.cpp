#include "platform/FileTests.h"

#include <sys/stat.h>

bool FileIsExist(const char* path)
{
    struct stat st {};
    return path && ::stat(path, &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FolderIsExist(const char* path)
{
    struct stat st {};
    return path && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}
