#pragma once

// Names shared by the OpenDocument reader and writer. Internal.
#include <QLatin1StringView>

namespace Odt::Ns {

inline constexpr QLatin1StringView office{"urn:oasis:names:tc:opendocument:xmlns:office:1.0"};
inline constexpr QLatin1StringView style{"urn:oasis:names:tc:opendocument:xmlns:style:1.0"};
inline constexpr QLatin1StringView text{"urn:oasis:names:tc:opendocument:xmlns:text:1.0"};
inline constexpr QLatin1StringView table{"urn:oasis:names:tc:opendocument:xmlns:table:1.0"};
inline constexpr QLatin1StringView draw{"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"};
inline constexpr QLatin1StringView fo{"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"};
inline constexpr QLatin1StringView xlink{"http://www.w3.org/1999/xlink"};
inline constexpr QLatin1StringView dc{"http://purl.org/dc/elements/1.1/"};
inline constexpr QLatin1StringView meta{"urn:oasis:names:tc:opendocument:xmlns:meta:1.0"};
inline constexpr QLatin1StringView svg{"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"};
inline constexpr QLatin1StringView manifest{"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"};

inline constexpr QLatin1StringView mimeType{"application/vnd.oasis.opendocument.text"};

// The two user-defined properties that hold the header and footer templates.
inline constexpr QLatin1StringView headerProperty{"VEXO-HF Header"};
inline constexpr QLatin1StringView footerProperty{"VEXO-HF Footer"};

} // namespace Odt::Ns
