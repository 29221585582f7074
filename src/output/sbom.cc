// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "output/sbom.h"

#include <sys/random.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "core/sha1.h"
#include "core/version.h"
#include "output/json.h"

namespace tarsil {
namespace {

// `text` as a JSON string.
std::string quoted(std::string_view text) {
  std::string out = "\"";
  out += json_escape(text);
  out += '"';
  return out;
}

std::string tool_version() {
  return std::string(kVersionNumber);
}

// Formats 16 bytes as a UUID of `version` (4: random, 5: name-based).
std::string uuid_text(unsigned char* bytes, int version) {
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0f) | (version << 4));
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3f) | 0x80);
  const std::string hex = to_hex(bytes, 16);
  return hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" +
         hex.substr(16, 4) + "-" + hex.substr(20);
}

// A random (version 4) UUID from the kernel's generator.
std::string random_uuid() {
  unsigned char bytes[16] = {};
  std::size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got < sizeof bytes) {  // no entropy source: the time still varies
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    Sha1 sha;
    sha.update(std::to_string(now.tv_sec) + "." + std::to_string(now.tv_nsec));
    const std::array<unsigned char, 20> d = sha.digest();
    std::copy(d.begin() + static_cast<long>(got), d.begin() + 16, bytes + got);
  }
  return uuid_text(bytes, 4);
}

// The SPDX comment of a file whose name is not UTF-8 (its exact bytes), or
// nothing.
std::string lossy_name_comment(const std::string& name) {
  if (is_valid_utf8(name)) return "";
  return ",\n      \"comment\": \"fileName is not UTF-8; its bytes in base64: " + base64(name) +
         "\"";
}

// The statements of `result` one per line.
std::string statements(const FileResult& result) {
  std::string text;
  for (const std::string& statement : result.copyrights) {
    text += (text.empty() ? "" : "\n") + statement;
  }
  return text;
}

std::string spdx_file_entry(const FileResult& result, const std::string& name,
                            const std::string& file_id, const std::string& sha1, bool copyrights) {
  std::string licenses;
  if (result.expression) {
    for (const std::string& id : license_ids(*result.expression)) {
      licenses += (licenses.empty() ? "" : ", ") + quoted(id);
    }
  }
  if (licenses.empty()) licenses = "\"NOASSERTION\"";
  std::string copyright = "NOASSERTION";
  if (copyrights) copyright = result.copyrights.empty() ? "NONE" : statements(result);
  return "    {\n      \"fileName\": " + quoted(name) + ",\n      \"SPDXID\": \"SPDXRef-File-" +
         file_id + "\",\n      \"checksums\": [{\"algorithm\": \"SHA1\", \"checksumValue\": \"" +
         sha1 + "\"}],\n      \"licenseConcluded\": \"NOASSERTION\",\n" +
         "      \"licenseInfoInFiles\": [" + licenses +
         "],\n      \"copyrightText\": " + quoted(copyright) + lossy_name_comment(name) + "\n    }";
}

std::string cyclonedx_component(const FileResult& result, const std::string& file_id,
                                const std::string& sha1, bool copyrights) {
  std::string out = "    {\n      \"type\": \"file\",\n      \"bom-ref\": \"file-" + file_id +
                    "\",\n      \"name\": " + quoted(result.path) +
                    ",\n      \"hashes\": [{\"alg\": \"SHA-1\", \"content\": \"" + sha1 + "\"}]";
  if (result.expression) {
    const std::string& license = result.verdict.license;
    const bool single = license.find_first_of(" ()+") == std::string::npos;
    out += single ? ",\n      \"licenses\": [{\"license\": {\"id\": " + quoted(license) + "}}]"
                  : ",\n      \"licenses\": [{\"expression\": " + quoted(license) + "}]";
  }
  if (copyrights && !result.copyrights.empty()) {
    out += ",\n      \"copyright\": " + quoted(statements(result));
  }
  if (!is_valid_utf8(result.path)) {
    out += ",\n      \"properties\": [{\"name\": \"tarsil:path_bytes\", \"value\": \"" +
           base64(result.path) + "\"}]";
  }
  return out + "\n    }";
}

void write_document(bool spdx, const FormatOptions& options,
                    const std::vector<std::string>& entries, const std::string& ids,
                    const TextSink& write) {
  const std::string& name = options.document_name;
  const std::string& created = options.created;
  std::string uuid;
  if (options.pinned) {
    Sha1 sha;
    sha.update(std::string(spdx ? "spdx-json\n" : "cyclonedx-json\n") + created + "\n" + name +
               "\n");
    for (const std::string& block : entries) sha.update(block);
    std::array<unsigned char, 20> d = sha.digest();
    uuid = uuid_text(d.data(), 5);
  } else {
    uuid = random_uuid();
  }
  const bool empty = ids.empty();
  if (spdx) {
    write(
        "{\n  \"spdxVersion\": \"SPDX-2.3\",\n  \"dataLicense\": \"CC0-1.0\",\n"
        "  \"SPDXID\": \"SPDXRef-DOCUMENT\",\n  \"name\": " +
        quoted(name) + ",\n  \"documentNamespace\": \"https://spdx.org/spdxdocs/tarsil-" + uuid +
        "\",\n  \"creationInfo\": {\n    \"created\": \"" + created +
        "\",\n    \"creators\": [\"Tool: tarsil-" + tool_version() + "\"]\n  },\n  \"files\": [");
  } else {
    write(
        "{\n  \"$schema\": \"http://cyclonedx.org/schema/bom-1.5.schema.json\",\n"
        "  \"bomFormat\": \"CycloneDX\",\n  \"specVersion\": \"1.5\",\n"
        "  \"serialNumber\": \"urn:uuid:" +
        uuid + "\",\n  \"version\": 1,\n  \"metadata\": {\n    \"timestamp\": \"" + created +
        "\",\n    \"tools\": {\n      \"components\": [\n        {\"type\": \"application\", "
        "\"name\": \"tarsil\", \"version\": \"" +
        tool_version() + "\"}\n      ]\n    },\n    \"component\": {\"type\": \"application\", " +
        "\"name\": " + quoted(name) + "}\n  },\n  \"components\": [");
  }
  if (!empty) write("\n");
  for (const std::string& block : entries) write(block);
  if (!spdx) {
    write(empty ? "]\n}\n" : "\n  ]\n}\n");
    return;
  }
  write(empty ? "],\n  \"relationships\": [" : "\n  ],\n  \"relationships\": [\n");
  std::string relationships;
  for (std::size_t at = 0; at + 16 <= ids.size(); at += 16) {
    relationships += std::string(at == 0 ? "" : ",\n") +
                     "    {\"spdxElementId\": \"SPDXRef-DOCUMENT\", \"relationshipType\": "
                     "\"DESCRIBES\", \"relatedSpdxElement\": \"SPDXRef-File-" +
                     ids.substr(at, 16) + "\"}";
    if (relationships.size() > (1 << 16)) {
      write(relationships);
      relationships.clear();
    }
  }
  write(relationships);
  write(empty ? "]\n}\n" : "\n  ]\n}\n");
}

class DocumentFormatter final : public Formatter {
 public:
  DocumentFormatter(bool spdx, FormatOptions options) : spdx_(spdx), options_(std::move(options)) {}
  bool hashes_files() const override { return true; }
  FormattedFile file(const FileResult& result, const FileContext& context) const override {
    if (!result.licenses_open) return {};
    const std::string name = document_file_name(result.path, context.root_length);
    FormattedFile out{.entry_id = document_file_id(options_.listed ? result.path : name)};
    out.text = spdx_
                   ? spdx_file_entry(result, name, out.entry_id, context.sha1, options_.copyrights)
                   : cyclonedx_component(result, out.entry_id, context.sha1, options_.copyrights);
    return out;
  }
  void end(const std::vector<std::string>& entries, const std::string& ids,
           const TextSink& write) const override {
    write_document(spdx_, options_, entries, ids, write);
  }

 private:
  const bool spdx_;
  const FormatOptions options_;
};

}  // namespace

std::string document_file_name(const std::string& path, std::size_t root_length) {
  std::string_view below = std::string_view(path).substr(std::min(root_length, path.size()));
  while (!below.empty() && below.front() == '/') below.remove_prefix(1);
  if (below.substr(0, 2) == "./") return std::string(below);
  return "./" + std::string(below);
}

std::string document_file_id(const std::string& name) {
  return sha1_hex(name).substr(0, 16);
}

bool valid_sbom_time(std::string_view text) {
  static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:ddZ";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return false;
  }
  const auto number = [&text](std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month >= 1 && month <= 12 && day >= 1 &&
         day <= (month == 2 && !leap ? 28 : kDays[month - 1]) && number(11, 2) <= 23 &&
         number(14, 2) <= 59 && number(17, 2) <= 59;
}

std::string now_sbom_time() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::unique_ptr<Formatter> make_spdx_formatter(const FormatOptions& options) {
  return std::make_unique<DocumentFormatter>(true, options);
}

std::unique_ptr<Formatter> make_cyclonedx_formatter(const FormatOptions& options) {
  return std::make_unique<DocumentFormatter>(false, options);
}

}  // namespace tarsil
