#!/usr/bin/env bash
# The orvex_profile module as a playbook runs it, on localhost against two simulated controllers:
# check mode writes nothing and says what would change, the first run changes both, the second
# neither, a controller that is not there fails the task; and ansible-doc shows the module.
set -euo pipefail
work=$(mktemp -d)
sim_pids=()
cleanup() {
  for pid in "${sim_pids[@]}"; do
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
fail() {
  echo "FAIL: $*"
  exit 1
}

# Ansible's state, the simulators' registrations and orvexctl's journal stay in here.
mkdir -m 700 "$work/run" "$work/state" "$work/home" "$work/ansible"
: > "$work/ansible.cfg"
export XDG_RUNTIME_DIR=$work/run ORVEX_STATE_DIR=$work/state HOME=$work/home
export ANSIBLE_CONFIG=$work/ansible.cfg ANSIBLE_HOME=$work/ansible ANSIBLE_LOCAL_TEMP=$work/ansible/tmp
export ANSIBLE_REMOTE_TEMP=$work/ansible/remote-tmp ANSIBLE_COLLECTIONS_PATH=$SOURCE_DIR/contrib/ansible
export ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_LOCALHOST_WARNING=0
export ANSIBLE_INVENTORY_UNPARSED_WARNING=0 ANSIBLE_PYTHON_INTERPRETER=$(command -v python3)

# The module's documentation, as a user reads it.
ansible-doc tamlin.orvex.orvex_profile > "$work/doc.txt" || fail "ansible-doc tamlin.orvex.orvex_profile failed"
for word in "TAMLIN.ORVEX.ORVEX_PROFILE" "orvexctl apply --json" "ports" "src" "orvexctl" "force" "check_mode" "diff_mode"; do
  grep -q -- "$word" "$work/doc.txt" || fail "ansible-doc shows no \"$word\""
done
echo "ok: ansible-doc"

printf 'topBand = 45\nfanSpeedTopBand = 95\n' | "$ORVEXCTL" encode - -o "$work/p.dat"
printf 'topBand = 46\nfanSpeedTopBand = 95\n' | "$ORVEXCTL" encode - -o "$work/other.dat"

# Each simulator gets only the standard descriptors: one that outlived the test must not hold what
# the test was given (a lock of whoever runs it, say).
start_sim() { # variable for its device, name, orvex-sim arguments
  (
    for fd in /proc/$BASHPID/fd/*; do
      fd=${fd##*/}
      [ "$fd" -gt 2 ] && eval "exec $fd>&-"
    done
    exec "$ORVEX_SIM" "${@:3}" > "$work/$2.out" 2> "$work/$2.err"
  ) &
  sim_pids+=($!)
  for _ in $(seq 100); do
    [ -s "$work/$2.out" ] && break
    sleep 0.1
  done
  printf -v "$1" '%s' "$(head -n1 "$work/$2.out")"
}
start_sim held held --profile "$work/other.dat"
start_sim empty empty
[ -n "$held" ] && [ -n "$empty" ] || fail "the simulators did not start"

cat > "$work/playbook.yml" <<'YAML'
- hosts: localhost
  gather_facts: false
  tasks:
    - name: The controllers hold the profile
      tamlin.orvex.orvex_profile:
        src: "{{ profile }}"
        ports: "{{ ports }}"
        orvexctl: "{{ orvexctl }}"
      register: applied
    - name: The module reports what the run is expected to do
      ansible.builtin.assert:
        that:
          - applied.changed == expect_changed
          - applied.ports | map(attribute='status') | list == expect_statuses
YAML
play() { # expect_changed, expect_statuses (JSON), ports (JSON), ansible-playbook options...
  local vars
  vars=$(printf '{"profile": "%s", "orvexctl": "%s", "ports": %s, "expect_changed": %s, "expect_statuses": %s}' \
    "$work/p.dat" "$ORVEXCTL" "$3" "$1" "$2")
  ansible-playbook -i localhost, -c local -e "$vars" "${@:4}" "$work/playbook.yml"
}
journal_entries() { find "$work/state" -name '*.json' | wc -l; }
both="[\"$held\", \"$empty\"]"

# Check mode: both would change; diff mode shows the field; nothing is written or journalled.
play true '["would change", "would change"]' "$both" --check --diff > "$work/check.txt" ||
  { cat "$work/check.txt"; fail "the check-mode run failed"; }
grep -q -- '-topBand: 46' "$work/check.txt" && grep -q -- '+topBand: 45' "$work/check.txt" ||
  { cat "$work/check.txt"; fail "diff mode does not show topBand 46 -> 45"; }
grep -q -- '(no profile)' "$work/check.txt" || { cat "$work/check.txt"; fail "diff mode does not show the empty controller"; }
[ "$(journal_entries)" -eq 0 ] || fail "check mode wrote the journal"
"$ORVEXCTL" diff --port "$held" "$work/other.dat" > "$work/still.txt" ||
  { cat "$work/still.txt"; fail "check mode changed the controller's profile"; }
echo "ok: check mode"

# The first run writes both controllers, and says so.
play true '["changed", "changed"]' "$both" --diff > "$work/first.txt" || { cat "$work/first.txt"; fail "the first run failed"; }
grep -q 'changed=1' "$work/first.txt" || { cat "$work/first.txt"; fail "the first run did not report changed"; }
grep -q -- '+topBand: 45' "$work/first.txt" || { cat "$work/first.txt"; fail "diff mode shows no fields"; }
[ "$(journal_entries)" -eq 2 ] || fail "the first run journalled $(journal_entries) downloads, not 2"
echo "ok: first run changed"

# The second finds both holding it.
play false '["unchanged", "unchanged"]' "$both" > "$work/second.txt" || { cat "$work/second.txt"; fail "the second run failed"; }
grep -q 'changed=0' "$work/second.txt" || { cat "$work/second.txt"; fail "the second run reported a change"; }
[ "$(journal_entries)" -eq 2 ] || fail "the second run wrote the journal"
echo "ok: second run unchanged"

# A controller that is not there fails the task, with the reason.
status=0
play false '["failed"]' '["/dev/no-such-port"]' > "$work/missing.txt" || status=$?
[ "$status" -ne 0 ] || { cat "$work/missing.txt"; fail "a missing controller did not fail the play"; }
grep -q '/dev/no-such-port: The system cannot find the port' "$work/missing.txt" ||
  { cat "$work/missing.txt"; fail "the failure does not say why"; }
echo "ok: a missing controller fails"
