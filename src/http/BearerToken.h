#pragma once

#include <QByteArray>

// The token every request must carry as "Authorization: Bearer TOKEN" when the server has
// one. The comparison takes the same time however much of a guess is right: both sides are
// hashed and the digests compared in full, so neither the token's length nor its first
// characters can be found out by timing the answers.
class BearerToken {
public:
    BearerToken() = default; // none: every request is admitted
    explicit BearerToken(const QByteArray& token);

    bool required() const { return !digest_.isEmpty(); }
    bool admits(const QByteArray& authorization) const;

private:
    QByteArray digest_;
};
