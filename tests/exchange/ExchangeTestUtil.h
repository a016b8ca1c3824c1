// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Points and outside programs shared by the GPX and KML tests.
#include "exchange/Gpx.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <vector>

namespace ExchangeTest {

// Names with letters of several scripts and the characters XML must escape.
inline std::vector<GeoPoint> randomPoints(int n, quint32 seed, bool asciiOnly = false)
{
    QRandomGenerator rng(seed);
    const QString ascii = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -./()");
    const QString wide = ascii + QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ<>&'ÄÖüß€");
    const QString &letters = asciiOnly ? ascii : wide;
    std::vector<GeoPoint> out;
    for (int i = 0; i < n; ++i) {
        QString name = QStringLiteral("P%1 ").arg(i);
        const int len = int(rng.bounded(0, 40));
        for (int k = 0; k < len; ++k)
            name += letters[int(rng.bounded(letters.size()))];
        out.push_back({qint32(rng.bounded(-17999999, 17999999)), qint32(rng.bounded(-9000000, 9000001)), name.trimmed()});
    }
    return out;
}

struct Run {
    bool ok = false;
    QByteArray out, err;
};

inline Run run(const QString &program, const QStringList &args)
{
    Run r;
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        r.err = program.toUtf8() + " is not installed";
        return r;
    }
    QProcess p;
    p.start(path, args);
    r.ok = p.waitForFinished(300000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// The part of the GPX 1.1 schema our files use: the namespace, the required version
// and creator, waypoints then routes of route points, names, coordinate ranges.
inline QByteArray gpxSchema()
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<xsd:schema xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns="http://www.topografix.com/GPX/1/1"
  targetNamespace="http://www.topografix.com/GPX/1/1" elementFormDefault="qualified">
 <xsd:element name="gpx" type="gpxType"/>
 <xsd:complexType name="gpxType">
  <xsd:sequence>
   <xsd:element name="wpt" type="wptType" minOccurs="0" maxOccurs="unbounded"/>
   <xsd:element name="rte" type="rteType" minOccurs="0" maxOccurs="unbounded"/>
  </xsd:sequence>
  <xsd:attribute name="version" type="xsd:string" use="required" fixed="1.1"/>
  <xsd:attribute name="creator" type="xsd:string" use="required"/>
 </xsd:complexType>
 <xsd:complexType name="rteType">
  <xsd:sequence>
   <xsd:element name="name" type="xsd:string" minOccurs="0"/>
   <xsd:element name="rtept" type="wptType" minOccurs="0" maxOccurs="unbounded"/>
  </xsd:sequence>
 </xsd:complexType>
 <xsd:complexType name="wptType">
  <xsd:sequence>
   <xsd:element name="name" type="xsd:string" minOccurs="0"/>
  </xsd:sequence>
  <xsd:attribute name="lat" type="latitudeType" use="required"/>
  <xsd:attribute name="lon" type="longitudeType" use="required"/>
 </xsd:complexType>
 <xsd:simpleType name="latitudeType">
  <xsd:restriction base="xsd:decimal"><xsd:minInclusive value="-90.0"/><xsd:maxInclusive value="90.0"/></xsd:restriction>
 </xsd:simpleType>
 <xsd:simpleType name="longitudeType">
  <xsd:restriction base="xsd:decimal"><xsd:minInclusive value="-180.0"/><xsd:maxExclusive value="180.0"/></xsd:restriction>
 </xsd:simpleType>
</xsd:schema>
)";
}

} // namespace ExchangeTest
