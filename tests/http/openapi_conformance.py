#!/usr/bin/env python3
"""`scalectl serve` (on a fake of the program behind it) driven over HTTP: every answer is
checked against docs/openapi.json with a JSON Schema validator, every status code the
document promises is seen at least once, and the command's own checks give their exit codes.

usage: openapi_conformance.py SERVE_PROBE OPENAPI_JSON
"""
import http.client
import json
import os
import re
import signal
import subprocess
import sys
import tempfile

from jsonschema import Draft202012Validator, RefResolver

PROBE, DOCUMENT = sys.argv[1], sys.argv[2]
with open(DOCUMENT, encoding="utf-8") as f:
    DOC = json.load(f)
RESOLVER = RefResolver.from_schema(DOC)
TOKEN = "conformance-token-0123456789"
failures = []
seen = set()

PLU_ROW = {"PluNo": 1, "ItemCode": 1001, "ItemName1": "Apples", "ItemName2": "Cox",
           "UnitPrice": 299, "ValidDate": 5, "Tare": 12, "GCode": 3, "MessageNo": 0}
INGRED_ROW = {"MessageNo": 1, "Message1": "Flour", "Message2": "", "Message3": "", "Message4": ""}
SEND = {"plu": {"rows": [PLU_ROW], "scales": ["Meat"], "selection": "all", "changed": False},
        "ingred": {"rows": [INGRED_ROW]}}
TABLE_FILE = {"plu": b'1,1001,"Apples","Cox",299,5,12,3,0\r\n',
              "ingred": b'1,"Flour","","",""\r\n'}


def fail(text):
    failures.append(text)
    print("FAIL", text)


def template_of(path):
    return re.sub(r"^/v1/jobs/[^/?]+", "/v1/jobs/{id}", path.split("?")[0])


def schema_of(template, method, status):
    operation = DOC["paths"].get(template, {}).get(method.lower())
    if operation is None:  # 404 and 405 are answered for what the document has not
        return {"$ref": "#/components/schemas/Error"}
    answer = operation["responses"].get(str(status))
    if answer is None:
        return None
    if "$ref" in answer:
        answer = DOC["components"]["responses"][answer["$ref"].split("/")[-1]]
    return answer["content"]["application/json"]["schema"]


def call(method, path, status, body=None, content_type="application/json", auth=True,
         headers=None):
    """One request on a connection of its own; checks the status and the body's schema."""
    all_headers = dict(headers or {})
    if auth:
        all_headers["Authorization"] = "Bearer " + TOKEN
    if body is not None:
        all_headers["Content-Type"] = content_type
        if isinstance(body, (dict, list)):
            body = json.dumps(body).encode()
    connection = http.client.HTTPConnection("127.0.0.1", PORT, timeout=10)
    try:
        connection.request(method, path, body=body, headers=all_headers)
    except (BrokenPipeError, ConnectionResetError):
        pass  # the server answered before taking the whole body
    response = connection.getresponse()
    text = response.read()
    connection.close()
    template = template_of(path)
    where = f"{method} {path} ({status})"
    if response.status != status:
        fail(f"{where}: status {response.status}: {text[:200]!r}")
        return None
    seen.add((template, method, status))
    if response.getheader("Content-Type") != "application/json":
        fail(f"{where}: Content-Type {response.getheader('Content-Type')}")
    answer = json.loads(text)
    schema = schema_of(template, method, status)
    if schema is None:
        fail(f"{where}: the document has no such answer")
    else:
        for error in Draft202012Validator(schema, resolver=RESOLVER).iter_errors(answer):
            fail(f"{where}: {error.message} at {list(error.absolute_path)}")
    if status == 405 and not response.getheader("Allow"):
        fail(f"{where}: no Allow header")
    return answer, response


def check_request_body(kind, body):
    """What the tests send as a valid request is what the document allows."""
    schema = DOC["paths"][f"/v1/{kind}"]["post"]["requestBody"]["content"]["application/json"]
    for error in Draft202012Validator(schema["schema"], resolver=RESOLVER).iter_errors(body):
        fail(f"request body of /v1/{kind}: {error.message}")


def serve(args):
    return subprocess.run([PROBE, "serve"] + args, capture_output=True, text=True, timeout=30)


def expect_exit(args, code, words):
    result = serve(args)
    if result.returncode != code or words not in result.stdout + result.stderr:
        fail(f"serve {' '.join(args)}: exit {result.returncode}, {result.stderr.strip()!r}")


with tempfile.TemporaryDirectory() as folder:
    scales = os.path.join(folder, "store.scales")
    with open(scales, "w", encoding="utf-8") as f:
        f.write("Meat = COM1\nDeli = tcp://127.0.0.1:4001\n")
    token = os.path.join(folder, "token")
    with open(token, "w", encoding="ascii") as f:
        f.write(TOKEN + "\n")
    os.chmod(token, 0o600)
    shared = os.path.join(folder, "shared-token")
    with open(shared, "w", encoding="ascii") as f:
        f.write(TOKEN)
    os.chmod(shared, 0o644)
    short = os.path.join(folder, "short-token")
    with open(short, "w", encoding="ascii") as f:
        f.write("abc")
    os.chmod(short, 0o600)

    expect_exit(["--help"], 0, "Usage: scalectl serve")
    expect_exit([], 2, "--listen is required")
    expect_exit(["--listen", "somewhere", "--scales", scales], 2, "--listen takes ADDR:PORT")
    expect_exit(["--listen", "0.0.0.0:0", "--scales", scales], 2, "--token-file")
    expect_exit(["--listen", "127.0.0.1:0", "--scales", scales, "--token-file", shared], 3,
                "chmod 600")
    expect_exit(["--listen", "127.0.0.1:0", "--scales", scales, "--token-file", short], 3,
                "16 to 1024")
    expect_exit(["--listen", "127.0.0.1:0", "--scales", os.path.join(folder, "none")], 3,
                "cannot read the scales")

    server = subprocess.Popen([PROBE, "serve", "--listen", "127.0.0.1:0", "--scales", scales,
                               "--token-file", token], stdout=subprocess.PIPE, text=True)
    first = server.stdout.readline().strip()
    match = re.fullmatch(r"http://127\.0\.0\.1:(\d+)/v1/", first)
    if not match:
        server.kill()
        sys.exit(f"serve printed {first!r} instead of its address")
    PORT = int(match.group(1))
    expect_exit(["--listen", f"127.0.0.1:{PORT}", "--scales", scales], 1, "cannot listen")

    jobs = []
    for kind in ("plu", "ingred"):
        path = f"/v1/{kind}"
        check_request_body(kind, SEND[kind])
        key = {"Idempotency-Key": f"{kind}-1"}
        accepted = call("POST", path, 202, SEND[kind], headers=key)
        if accepted:
            jobs.append(accepted[0]["job"])
            again = call("POST", path, 202, SEND[kind], headers=key)
            if again and again[0]["job"] != accepted[0]["job"]:
                fail(f"{path}: the same Idempotency-Key started a second job")
        call("POST", path, 409, dict(SEND[kind], selection="1-1"), headers=key)
        call("POST", path + "?scales=Deli&selection=1", 202, TABLE_FILE[kind], "text/plain")
        bad = json.loads(json.dumps(SEND[kind]))
        bad["rows"][0]["MessageNo"] = -1
        call("POST", path, 422, bad)
        call("POST", path, 400, b"{not json", "application/json")
        call("POST", path, 415, b"<rows/>", "application/xml")
        call("POST", path, 413, b" " * (1024 * 1024 + 1))
        call("POST", path, 401, SEND[kind], auth=False)
    call("POST", "/v1/plu", 202, b"PLU No,Item Code,Item Name1,Item Name2,U/Price,Valid Date,"
         b"Tare,G Code,Message No\r\n7,7007,Plums,,450,3,0,1,0\r\n", "text/csv")

    for method in ("GET", "DELETE"):
        call(method, "/v1/jobs/job-404", 404)
        call(method, f"/v1/jobs/{jobs[0]}", 401, auth=False)
    call("GET", f"/v1/jobs/{jobs[0]}", 200)
    call("DELETE", f"/v1/jobs/{jobs[0]}", 202)
    call("DELETE", f"/v1/jobs/{jobs[0]}", 409)
    for path in ("/v1/scales", "/v1/health", "/v1/journal", "/v1/openapi.json"):
        call("GET", path, 200)
        call("GET", path, 401, auth=False)
    journal = call("GET", "/v1/journal?scale=Meat&plu=1&since=2024-01-01T00:00:00Z&limit=1", 200)
    if journal and not journal[0]["more"]:
        fail("/v1/journal: limit=1 over two matching entries did not say more")
    call("GET", "/v1/journal?plu=apples", 400)
    call("GET", "/v1/journal?colour=red", 400)
    served = call("GET", "/v1/openapi.json", 200)
    if served and served[0] != DOC:
        fail("/v1/openapi.json is not docs/openapi.json")
    call("GET", "/v1/nothing", 404)
    call("GET", "/v1/plu", 405)
    call("PUT", f"/v1/jobs/{jobs[0]}", 405, SEND["plu"])

    server.send_signal(signal.SIGTERM)
    log, _ = server.communicate(timeout=30)
    if server.returncode != 0:
        fail(f"serve ended with {server.returncode} on SIGTERM")
    if TOKEN in log or "conformance-token" in log:
        fail("the token appears in the log")
    if not re.search(r"^\S+ 127\.0\.0\.1 POST /v1/plu 202$", log, re.M):
        fail(f"no log line for an accepted send in {log[:300]!r}")

# Every answer the document promises was seen, but those the fake cannot give: 503 (the Qt
# thread late, or the program unable to send) is the server test's.
promised = {(path, method.upper(), int(status))
            for path, item in DOC["paths"].items()
            for method, operation in item.items() if method != "parameters"
            for status in operation["responses"] if status != "503"}
for missing in sorted(promised - seen):
    fail(f"never seen: {missing}")
print(f"{len(seen)} answers checked against the document; {len(failures)} failed")
sys.exit(1 if failures else 0)
