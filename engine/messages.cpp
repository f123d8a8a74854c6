#include "messages.h"

namespace drennix::messages {

namespace {

std::string join(std::initializer_list<std::string_view> pieces)
{
    std::string text;
    for (std::string_view p : pieces) {
        text += p;
    }
    return text;
}

}  // namespace

std::string commentWithoutEnd(std::string_view s, std::string_view e)
{
    return join({"行目で ", s, " の対の ", e, " が有りません。", notConverted});
}

std::string commentEndBeforeStart(std::string_view s, std::string_view e)
{
    return join({"行目で ", s, " の前に ", e, " が有ります。", notConverted});
}

std::string secondCommentStart(std::string_view s, std::string_view e)
{
    return join({"行目で2つの ", s, " の前に ", e, " が有りません。", notConverted});
}

std::string commentFollowedByNumber(std::string_view e)
{
    return join({"行目で ", e, " の次の文字が英字以外です。", notConverted});
}

std::string commentEndWithoutStart(std::string_view s, std::string_view e)
{
    return join({"行目で ", e, " の対の ", s, " が有りません。", notConverted});
}

std::string addressWithoutNumber(std::string_view letter)
{
    return join({"行目の ", letter, " に数値が有りません。", notConverted});
}

std::string duplicateWord(std::string_view letter)
{
    return join({"行目に ", letter, " が複数有ります。", notConverted});
}

}  // namespace drennix::messages
