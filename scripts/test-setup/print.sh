# Sourced by scripts/test.sh (and by tests/e2e/print_e2e.sh when run alone): starts a private
# print server with one PDF printer, "PDF", for the printing tests.
# Exports CUPS_SERVER (its socket; Wine's printing reads it) and MNEMORA_PRINT_OUTPUT (the folder
# where printed documents appear as PDF files). Registers its own stop in cleanup_steps.
# Needs cupsd, lpadmin and the cups-pdf backend (scripts/install-deps.sh) and root, because the
# PDF backend refuses to run otherwise; without them the printing tests are skipped.
mnemora_start_print_server() {
    local backend=/usr/lib/cups/backend/cups-pdf
    local ppd=lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
    if ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null || [ ! -e "$backend" ]; then
        echo "== print server: cups or cups-pdf missing; printing tests will be skipped"
        return 0
    fi
    if [ "$(id -u)" != 0 ]; then
        echo "== print server: not root, the PDF backend cannot run; printing tests will be skipped"
        return 0
    fi
    local dir
    dir=$(mktemp -d /tmp/mnemora-print.XXXXXX) || return 0
    chmod 755 "$dir"
    mkdir -p "$dir/etc" "$dir/spool" "$dir/cache" "$dir/state" "$dir/log" "$dir/out"
    chmod 755 "$dir/etc"
    chmod 777 "$dir/out"
    # The server keeps everything in the private folder and listens on its own socket only, so it
    # neither touches the machine's print setup nor meets another test run's server.
    cat >"$dir/etc/cups-files.conf" <<EOF
SystemGroup root lpadmin
ServerRoot $dir/etc
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
EOF
    cat >"$dir/etc/cupsd.conf" <<EOF
LogLevel warn
Listen $dir/cups.sock
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    # The PDF backend reads its settings only from /etc/cups: a file of our own, named after the
    # private folder, chosen by the printer's device address.
    local instance=${dir##*/}
    instance=${instance//./-}
    local conf=/etc/cups/cups-pdf-$instance.conf
    printf 'Out %s\nAnonDirName %s\nLog %s\n' "$dir/out" "$dir/out" "$dir/log" >"$conf"

    /usr/sbin/cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
    local pid=$!
    cleanup_steps+=("kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -f '$conf'; rm -rf '$dir'")
    export CUPS_SERVER=$dir/cups.sock
    local ready=0
    for _ in $(seq 100); do
        if lpstat -r 2>/dev/null | grep -q "is running"; then
            ready=1
            break
        fi
        sleep 0.05
    done
    if [ $ready = 0 ] || ! lpadmin -p PDF -E -v "cups-pdf:/$instance" -m "$ppd" 2>/dev/null ||
        ! lpadmin -d PDF 2>/dev/null; then
        echo "== print server: cupsd did not start (see $dir/log); printing tests will be skipped"
        unset CUPS_SERVER
        return 0
    fi
    export MNEMORA_PRINT_OUTPUT=$dir/out
    echo "== print server: printer PDF on $CUPS_SERVER, documents in $MNEMORA_PRINT_OUTPUT"
}
mnemora_start_print_server
unset -f mnemora_start_print_server
