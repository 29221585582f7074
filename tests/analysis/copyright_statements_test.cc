// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/copyright_statements.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarsil {
namespace {

// The statements found, each "text => holder", with " @start-end" appended
// when `lines`.
std::vector<std::string> found(const std::string& text, bool lines = false) {
  std::vector<std::string> out;
  for (const CopyrightStatement& s : find_copyright_statements(text).statements) {
    out.push_back(
        s.text + " => " + s.holder +
        (lines ? " @" + std::to_string(s.start_line) + "-" + std::to_string(s.end_line) : ""));
  }
  return out;
}

struct Case {
  std::string text;
  std::vector<std::string> statements;
};

void check(const std::vector<Case>& cases, bool lines = false) {
  for (const Case& c : cases) EXPECT_EQ(c.statements, found(c.text, lines)) << c.text;
}

TEST(CopyrightStatements, Markers) {
  check({
      {"Copyright 2019 Jane Doe\n", {"Copyright 2019 Jane Doe => Jane Doe"}},
      {"COPYRIGHT (C) 2001 ACME CORP.\n", {"COPYRIGHT (C) 2001 ACME CORP. => ACME CORP."}},
      {"copyright 2003 by Foo Bar\n", {"copyright 2003 by Foo Bar => Foo Bar"}},
      {"Copr. 1999 Foo Bar\n", {"Copr. 1999 Foo Bar => Foo Bar"}},
      {"\xc2\xa9 2015 Frank Z\n", {"\xc2\xa9 2015 Frank Z => Frank Z"}},
      {"Copyright \xc2\xa9 2015 Frank Z\n", {"Copyright \xc2\xa9 2015 Frank Z => Frank Z"}},
      {"(c) 2003 Acme\n", {"(c) 2003 Acme => Acme"}},
      {"Copyright(c) 2014 Jonathan Ong\n", {"Copyright(c) 2014 Jonathan Ong => Jonathan Ong"}},
      {"Copyright &copy; 2010 X Org\n", {"Copyright \xc2\xa9 2010 X Org => X Org"}},
      {"&#169; 2010 X Org\n", {"\xc2\xa9 2010 X Org => X Org"}},
      {"// SPDX-FileCopyrightText: 2022 Ann Example <ann@example.org>\n",
       {"2022 Ann Example <ann@example.org> => Ann Example"}},
      {"Copyright \\(co 2004 Foo Bar\n", {"Copyright \xc2\xa9 2004 Foo Bar => Foo Bar"}},
      {"/*! jQuery v3 | (c) JS Foundation and other contributors | jquery.org/license */\n",
       {"(c) JS Foundation and other contributors => JS Foundation and other contributors"}},
      {"Copyright 2003 Foo; Copyright 2004 Bar\n",
       {"Copyright 2003 Foo => Foo", "Copyright 2004 Bar => Bar"}},
      {" * @copyright 2003 Foo Bar\n", {"2003 Foo Bar => Foo Bar"}},
      {"2012 (C) IBH IT-Service GmbH\nVersion 2, June 1991 Copyright (C) 1991 X Inc.\n",
       {"2012 (C) IBH IT-Service GmbH => IBH IT-Service GmbH",
        "Copyright (C) 1991 X Inc. => X Inc."}},
      {"Copyright The ocicrypt Authors.\n",
       {"Copyright The ocicrypt Authors. => The ocicrypt Authors"}},
  });
}

TEST(CopyrightStatements, CommentStyles) {
  const std::string s = "Copyright (C) 2003 Foo Bar";
  const std::vector<std::string> one = {s + " => Foo Bar"};
  check({
      {"/* " + s + " */\n", one},
      {"/*\n * " + s + "\n */\n", one},
      {"// " + s + "\n", one},
      {"/// " + s + "\n", one},
      {"# " + s + "\n", one},
      {"-- " + s + "\n", one},
      {";; " + s + "\n", one},
      {"% " + s + "\n", one},
      {"dnl " + s + "\n", one},
      {"REM " + s + "\n", one},
      {"' " + s + "\n", one},
      {"! " + s + "\n", one},
      {".\\\" " + s + "\n", one},
      {"<!-- " + s + " -->\n", one},
      {"\"\"\"" + s + "\n\"\"\"\n", one},
      {"=head1 COPYRIGHT\n\n" + s + "\n", one},
      {"/**************\n ** " + s + " **\n **************/\n", one},
      {"<p>" + s + "</p>\n", one},
      {"**" + s + "**\n", one},
      {"static const char* c = \"" + s + "\\n\";\n", one},
      {"__copyright__ = '" + s + "'\n", one},
      {"  \"copyright\": \"" + s + "\",\n", one},
      {"copyright = u'2003, Foo Bar'\n", {"2003, Foo Bar => Foo Bar"}},
      {"__copyright__: str = \"2022 Foo Bar\"\n", {"2022 Foo Bar => Foo Bar"}},
      {"<book copyright=\"2003 Foo Bar\">\n", {"2003 Foo Bar => Foo Bar"}},
  });
}

TEST(CopyrightStatements, Continuation) {
  check(
      {
          {"/*\n * Copyright (c) 1995\n *\tThe Regents of the University of California.  All "
           "rights reserved.\n */\n",
           {"Copyright (c) 1995 The Regents of the University of California. All rights "
            "reserved. => The Regents of the University of California @2-3"}},
          {"/*  Copyright (C) 1996-2023 by                              */\n"
           "/*  David Turner, Robert Wilhelm, and Werner Lemberg.       */\n",
           {"Copyright (C) 1996-2023 by David Turner, Robert Wilhelm, and Werner Lemberg. => "
            "David Turner, Robert Wilhelm, and Werner Lemberg @1-2"}},
          {"# Copyright (C) 1998, 1999, 2000,\n#   2001 Free Software Foundation, Inc.\n",
           {"Copyright (C) 1998, 1999, 2000, 2001 Free Software Foundation, Inc. => Free "
            "Software Foundation, Inc. @1-2"}},
          {" * Copyright (c) 2003 Foo Bar\n *      and Baz Qux\n",
           {"Copyright (c) 2003 Foo Bar and Baz Qux => Foo Bar and Baz Qux @1-2"}},
          {" * Copyright (c) 2003 Foo Bar\n * All rights reserved.\n *\n * Redistribution\n",
           {"Copyright (c) 2003 Foo Bar All rights reserved. => Foo Bar @1-2"}},
          {"   Copyright (C) 2007 Commonwealth Scientific and Industrial Research\n"
           "   Organisation (CSIRO) Australia\n\n",
           {"Copyright (C) 2007 Commonwealth Scientific and Industrial Research Organisation "
            "(CSIRO) Australia => Commonwealth Scientific and Industrial Research Organisation "
            "(CSIRO) Australia @1-2"}},
          {"// Copyright (C) 2002 Klaas Gadeyne <k@x.org>\n//               2008 Tinne De Laet\n",
           {"Copyright (C) 2002 Klaas Gadeyne <k@x.org> 2008 Tinne De Laet => Klaas Gadeyne, "
            "Tinne De Laet @1-2"}},
          {"Copyright (c) 2013-2019, tinydir authors:\n- Cong Xu\n- Lautis Sun\n\n",
           {"Copyright (c) 2013-2019, tinydir authors: Cong Xu Lautis Sun => tinydir authors: Cong "
            "Xu Lautis Sun @1-3"}},
          {"   Copyright (C) 2004 Eric Stokes, and The California State University\n   at "
           "Northridge\n",
           {"Copyright (C) 2004 Eric Stokes, and The California State University at Northridge => "
            "Eric Stokes, and The California State University at Northridge @1-2"}},
          {"    Copyright (C) 1991 Free Software Foundation, Inc.\n         59 Temple Place\n",
           {"Copyright (C) 1991 Free Software Foundation, Inc. => Free Software Foundation, Inc. "
            "@1-1"}},
          {"// Kristofer Peterson, (C) 2018.\n * Henrik Ingo (c) 2016\n * Version 2 (c) 2016\n",
           {"Kristofer Peterson, (C) 2018. => Kristofer Peterson @1-1",
            "Henrik Ingo (c) 2016 => Henrik Ingo @2-2"}},
          {"# Copyright 2022\n# All Rights Reserved.\n",
           {"Copyright 2022 All Rights Reserved. =>  @1-2"}},
          // Stops: a blank comment line, prose, a new statement, code, an author line.
          {" * Copyright (c) 1995\n *\n * The Regents\n", {"Copyright (c) 1995 =>  @1-1"}},
          {"# Copyright 2003 Foo,\n# This program is free software\n",
           {"Copyright 2003 Foo => Foo @1-1"}},
          {"// Copyright 2003 Foo and\n// Copyright 2004 Bar\n",
           {"Copyright 2003 Foo and => Foo @1-1", "Copyright 2004 Bar => Bar @2-2"}},
          {"// Copyright 2003 Foo,\nint main() {\n", {"Copyright 2003 Foo => Foo @1-1"}},
          {"Copyright (c) 2003 Foo Bar,\n  <foo@bar.org>\nCopyright 1993 Sun Microsystems or\n",
           {"Copyright (c) 2003 Foo Bar => Foo Bar @1-1",
            "Copyright 1993 Sun Microsystems => Sun Microsystems @3-3"}},
          {"Copyright 2003 Foo Bar\nLibrary for things\n",
           {"Copyright 2003 Foo Bar => Foo Bar @1-1"}},
          {"Copyright (c) 2003 Foo. Licensed under the MIT license.\n",
           {"Copyright (c) 2003 Foo. => Foo @1-1"}},
          {"\r\n\r\n# Copyright 2003 Foo\r\n", {"Copyright 2003 Foo => Foo @3-3"}},
      },
      true);
}

TEST(CopyrightStatements, NonAsciiText) {
  check({
      {"Copyright 2015 J\xc3\xbcrgen M\xc3\xbcller\n",
       {"Copyright 2015 J\xc3\xbcrgen M\xc3\xbcller => J\xc3\xbcrgen M\xc3\xbcller"}},
      // Latin-1 and Windows-1252 bytes.
      {"Copyright 2015 J\xfcrgen M\xfcller\n",
       {"Copyright 2015 J\xc3\xbcrgen M\xc3\xbcller => J\xc3\xbcrgen M\xc3\xbcller"}},
      {"\xa9 2001 O\x92"
       "Brien\n",
       {"\xc2\xa9 2001 O\xe2\x80\x99"
        "Brien => O\xe2\x80\x99"
        "Brien"}},
      // A BOM, a no-break space, a zero-width space, a control byte.
      {"\xef\xbb\xbf/* Copyright\xc2\xa0"
       "2012 Ann\xe2\x80\x8b Lee\x01 */\n",
       {"Copyright 2012 Ann Lee => Ann Lee"}},
      // Bytes that are no UTF-8 sequence: a lone continuation, a truncated one.
      {"Copyright 2012 A\x80\xe2\x82 Lee\n",
       {"Copyright 2012 A\xe2\x82\xac\xc3\xa2\xe2\x80\x9a Lee => "
        "A\xe2\x82\xac\xc3\xa2\xe2\x80\x9a Lee"}},
  });
}

TEST(CopyrightStatements, MarkupAndEntities) {
  check({
      {"<p>Copyright &copy; 2010 <a href=\"http://x.org\">X Org</a></p>\n",
       {"Copyright \xc2\xa9 2010 X Org => X Org"}},
      {"Copyright 2009 <s>Old</s> New &amp; Co\n", {"Copyright 2009 Old New & Co => Old New & Co"}},
      {"Copyright 2009 Ren&eacute; Dupont\n",
       {"Copyright 2009 Ren\xc3\xa9 Dupont => Ren\xc3\xa9 Dupont"}},
      {"Copyright 2009 Ren&#233; Dupont\n",
       {"Copyright 2009 Ren\xc3\xa9 Dupont => Ren\xc3\xa9 Dupont"}},
      {"Copyright E<copy> 2000, brian d foy C<< <bdfoy@cpan.org> >>.\n",
       {"Copyright \xc2\xa9 2000, brian d foy <bdfoy@cpan.org>. => brian d foy"}},
      {"Copyright (c) 2020 [Jane Doe](https://jane.example)\n",
       {"Copyright (c) 2020 Jane Doe => Jane Doe"}},
      {".SH COPYRIGHT\nCopyright \\(co 2004 \\fBFoo\\fR Bar\n",
       {"Copyright \xc2\xa9 2004 Foo Bar => Foo Bar"}},
  });
}

TEST(CopyrightStatements, ProseAndCodeRejected) {
  check({
      {" * copyright notice and this permission notice shall be included in\n", {}},
      {" * IN NO EVENT SHALL THE COPYRIGHT HOLDERS BE LIABLE\n", {}},
      {"=head1 COPYRIGHT AND LICENSE\n\n", {}},
      {"## Copyright\n\nSee LICENSE.\n", {}},
      {" * Redistributions of source code must retain the above copyright\n", {}},
      {"    Copyright (C) <year>  <name of author>\n", {}},
      {"   Copyright [yyyy] [name of copyright owner]\n", {}},
      {"# Copyright (C) YEAR THE PACKAGE'S COPYRIGHT HOLDER\n", {}},
      {"Gnomovision version 69, Copyright (C) year name of author\n", {}},
      {"#define COPYRIGHT_NOTICE \"x\"\n", {}},
      {"printf(\"Copyright %s\\n\", holder);\n", {}},
      {"  s = \"Copyright \" + year + \" \" + name;\n", {}},
      {"QString about = getCopyright();\n", {}},
      {"isxdigit(c); return new Namcot::N340(c);\n", {}},
      {"(c) You must retain, in the Source form of any Derivative Works\n", {}},
      {"isa => 'Software::Copyright::Statement',\n", {}},
      {"protected by copyright law.\n", {}},
      {"under the copyright of Foo Bar\n", {}},
      {"the copyright, trademark, and registered symbols\nuse a copyright like this one\n", {}},
      {"Copyright (c) 2018 main()\n", {}},
  });
}

TEST(CopyrightStatements, Holders) {
  check({
      {"Copyright (C) 2003-2005, 2008 by Foo Inc. All rights reserved.\n",
       {"Copyright (C) 2003-2005, 2008 by Foo Inc. All rights reserved. => Foo Inc."}},
      {"Copyright 2016-present Foo <foo@x.org> (https://foo.org)\n",
       {"Copyright 2016-present Foo <foo@x.org> (https://foo.org) => Foo"}},
      {"Copyright Jan Engelhardt, 2002-2011\n",
       {"Copyright Jan Engelhardt, 2002-2011 => Jan Engelhardt"}},
      {"Copyright (C) Georg Martius - June 2007\n",
       {"Copyright (C) Georg Martius - June 2007 => Georg Martius"}},
      {"Copyright (c) 1998 - 2020 CLST - Radboud University\n",
       {"Copyright (c) 1998 - 2020 CLST - Radboud University => CLST - Radboud University"}},
      {"Copyright 2010 The Regents of the University of California.\n",
       {"Copyright 2010 The Regents of the University of California. => The Regents of the "
        "University of California"}},
      {"Copyright (c) 2017 quininer@live.com\n",
       {"Copyright (c) 2017 quininer@live.com => quininer@live.com"}},
      {"Copyright (C) 2002 Klaas Gadeyne <first dot last at gmail dot com>\n",
       {"Copyright (C) 2002 Klaas Gadeyne <first dot last at gmail dot com> => Klaas Gadeyne"}},
      {"Copyright (c) 2002-4, Andrew McNab // \n",
       {"Copyright (c) 2002-4, Andrew McNab => Andrew McNab"}},
      {"Copyright 2016 fsyncd, Berlin, Germany\n(c) 2004 LOGILAB S.A. (Paris, FRANCE)\n",
       {"Copyright 2016 fsyncd, Berlin, Germany => fsyncd",
        "(c) 2004 LOGILAB S.A. (Paris, FRANCE) => LOGILAB S.A."}},
      {"Copyright (c) 7/13/2010 Leo Goodstadt\n",
       {"Copyright (c) 7/13/2010 Leo Goodstadt => Leo Goodstadt"}},
  });
}

// Inputs that would take minutes if a line's reading were not linear: a
// test timeout catches a regression. (Lines this long are read in windows:
// a statement across a window's edge may be lost, none is read twice.)
TEST(CopyrightStatements, LongLinesStayLinear) {
  const auto repeat = [](const std::string& piece, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += piece;
    return out;
  };
  const struct {
    std::string text;
    std::size_t statements;
  } cases[] = {
      {repeat("(c) 2003 A ", 40000), 40000},
      {repeat("<", 200000) + "\nCopyright 2003 Foo\n", 1},
      {repeat("[", 200000) + repeat("C<", 100000), 0},
      {repeat("\"Copyright ", 50000), 0},
      {"x = '" + repeat("\xc3\xa9 author: A ", 30000), 0},
      {repeat("Copyright 2003 Foo, ", 30000), 30000},
  };
  for (const auto& c : cases) {
    const std::size_t n = find_copyright_statements(c.text).statements.size();
    EXPECT_TRUE(n <= c.statements && n >= c.statements * 99 / 100)
        << n << " " << c.text.substr(0, 40);
  }
}

TEST(CopyrightStatements, Authors) {
  const struct {
    std::string text;
    std::vector<std::string> authors;
  } cases[] = {
      {" * Written by John Doe <jd@x.org>\n", {"John Doe"}},
      {" * @author jdoe\n * @author Jane Roe\n", {"jdoe", "Jane Roe"}},
      {"# Author: Foo Bar\n# Authors: Foo Bar\n# Author: a.w.ashton@ccp4.ac.uk\n",
       {"Foo Bar", "a.w.ashton@ccp4.ac.uk"}},
      {" * Contributed by Ann Lee for the Acme project\n", {"Ann Lee"}},
      {"=head1 AUTHOR\n\nFoo Bar <foo@bar.org>\n\n=cut\n", {"Foo Bar"}},
      {"Authors:\n  Ann Lee\n  Bob Roe\n\nint x;\n", {"Ann Lee", "Bob Roe"}},
      {"This was written by hand.\n$Author$\n", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.authors, find_copyright_statements(c.text).authors) << c.text;
  }
}

}  // namespace
}  // namespace tarsil
