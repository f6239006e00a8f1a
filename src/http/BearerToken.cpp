#include "http/BearerToken.h"

#include <QCryptographicHash>

namespace {

QByteArray digestOf(const QByteArray& token) {
    return QCryptographicHash::hash(token, QCryptographicHash::Sha256);
}

} // namespace

BearerToken::BearerToken(const QByteArray& token) {
    if (!token.isEmpty())
        digest_ = digestOf(token);
}

bool BearerToken::admits(const QByteArray& authorization) const {
    if (!required())
        return true;
    const QByteArray scheme = authorization.left(7);
    const QByteArray presented = scheme.compare("Bearer ", Qt::CaseInsensitive) == 0
                                     ? authorization.mid(7).trimmed()
                                     : QByteArray();
    const QByteArray digest = digestOf(presented);
    unsigned char difference = presented.isEmpty() ? 1 : 0;
    for (qsizetype i = 0; i < digest_.size(); ++i)
        difference |= static_cast<unsigned char>(digest_[i] ^ digest[i]);
    return difference == 0;
}
