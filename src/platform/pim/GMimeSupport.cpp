#include "platform/pim/GMimeSupport.h"

#include <mutex>

namespace quorvale::pim::gmime {

void ensureInitialized()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

QString takeString(char *utf8)
{
    const CString owned(utf8);
    return fromUtf8(owned.get());
}

QString fromUtf8(const char *utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

Ref<GMimeMessage> parseMessage(const QByteArray &bytes)
{
    ensureInitialized();
    // The stream copies the buffer, so the message never points into `bytes`.
    Ref<GMimeStream> stream = adopt(
        g_mime_stream_mem_new_with_buffer(bytes.constData(), static_cast<size_t>(bytes.size())));
    Ref<GMimeParser> parser = adopt(g_mime_parser_new_with_stream(stream.get()));
    g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MESSAGE);
    return adopt(g_mime_parser_construct_message(parser.get(), nullptr));
}

QByteArray toBytes(GMimeObject *object)
{
    ensureInitialized();
    Ref<GMimeStream> stream = adopt(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(object, nullptr, stream.get());
    g_mime_stream_flush(stream.get());
    const GByteArray *array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream.get()));
    return QByteArray(reinterpret_cast<const char *>(array->data),
                      static_cast<qsizetype>(array->len));
}

} // namespace quorvale::pim::gmime
