#pragma once
// The author's web site and mail address: the one place that names them. The about window links
// to them and the update check fetches its version list from the same host. The address is
// short enough for the about window's 100-pixel label.
#include <QString>

inline QString AuthorSiteHost() { return QStringLiteral("www.talvo.example"); }
inline QString AuthorHomePage() { return QStringLiteral("http://") + AuthorSiteHost(); }
inline QString AuthorMailAddress() { return QStringLiteral("moi@kv.example"); }
inline QString AuthorMailLink() { return QStringLiteral("mailto:") + AuthorMailAddress(); }
