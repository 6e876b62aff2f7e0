#include "Util/FileAccessPresentation.h"

FileAccessPresentationState& FileAccessPresentationState::shared()
{
    static FileAccessPresentationState state;
    return state;
}

void FileAccessPresentationState::refresh()
{
    ++revision_;
    emit revisionChanged();
}
