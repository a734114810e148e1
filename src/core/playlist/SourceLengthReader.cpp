#include "core/playlist/SourceLengthReader.h"

#include "core/shared/FileNames.h"

namespace varonel::core {

TrackLengthReader sourceLengthReader(audio::FileSource& reader) {
    return [&reader](const QString& path, QString* error) -> int32_t {
        if (!reader.setFileName(systemPath(path))) {
            *error = fromSystemName(reader.lastError());
            if (error->isEmpty()) {
                *error = path;
            }
            return 0;
        }
        const int32_t length = reader.lengthMs();
        // The reader never plays: the file is let go as soon as its length is known.
        reader.setFileName({});
        return length;
    };
}

}  // namespace varonel::core
