// SPDX-License-Identifier: GPL-3.0-or-later
/* Times a program's start-up as the X server sees it: from the fork to the
 * moment each named top-level window is mapped and to the first drawing into
 * it, then reads the program's peak memory (VmHWM) and ends it.
 *
 *   startup_probe FOLDER TITLE [TITLE...] -- PROGRAM [ARGUMENTS...]
 *
 * Prints one line per title: "map_ms paint_ms" (0.01 ms resolution), then
 * "peak_kib N", then "cpu_ms N" (the program's CPU time by then, every
 * thread counted: to the nanosecond where a cpuacct control group can be
 * made for it, as root, or else in clock ticks' resolution). The events come
 * from the server (SubstructureNotify on the root window for the mapping, a
 * DAMAGE object on the root window for the drawing), so nothing polls and
 * nothing slows the program being measured.
 *
 * Then, for work the program goes on with once its windows are drawn (the
 * users read in the background), it watches the program's CPU time every
 * millisecond until the program has been idle for 300 ms, and prints
 * "settled_ms T" (the last moment it was working), "settled_peak_kib N" and
 * "settled_cpu_ms N" (as cpu_ms).
 */
#define _GNU_SOURCE
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { max_titles = 8, max_windows = 64 };

struct target {
    const char* title;
    double mapped_ms, painted_ms;
    xcb_window_t window;
    int x, y, width, height;
};

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static void fail(const char* what)
{
    fprintf(stderr, "startup_probe: %s\n", what);
    exit(2);
}

static xcb_atom_t net_wm_name = XCB_ATOM_WM_NAME;

/* The window's title, _NET_WM_NAME first (Qt sets both). */
static int title_is(xcb_connection_t* c, xcb_window_t w, const char* title)
{
    xcb_atom_t atoms[2] = {net_wm_name, XCB_ATOM_WM_NAME};
    for (int i = 0; i < 2; ++i) {
        xcb_get_property_reply_t* p = xcb_get_property_reply(
            c, xcb_get_property(c, 0, w, atoms[i], XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), NULL);
        if (!p)
            continue;
        int length = xcb_get_property_value_length(p);
        int same = length > 0 && (size_t)length == strlen(title) &&
                   memcmp(xcb_get_property_value(p), title, length) == 0;
        free(p);
        if (length > 0)
            return same;
    }
    return 0;
}

static long read_peak_kib(pid_t pid)
{
    long peak_kib = -1;
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE* status = fopen(path, "r");
    while (status && fgets(line, sizeof line, status))
        if (sscanf(line, "VmHWM: %ld", &peak_kib) == 1)
            break;
    if (status)
        fclose(status);
    return peak_kib;
}

/* A cpuacct control group of the program's own, where the system has one:
 * the CPU time of all its threads, those that have ended too, in ns. */
static char cpu_group[128];

static void make_cpu_group(void)
{
    snprintf(cpu_group, sizeof cpu_group, "/sys/fs/cgroup/cpuacct/startup-probe-%d", (int)getpid());
    if (mkdir(cpu_group, 0755) != 0)
        cpu_group[0] = 0;
}

/* In the program, before it starts: into the group. */
static void join_cpu_group(void)
{
    char path[160];
    snprintf(path, sizeof path, "%s/cgroup.procs", cpu_group);
    FILE* procs = cpu_group[0] ? fopen(path, "w") : NULL;
    if (procs) {
        fprintf(procs, "%d\n", (int)getpid());
        fclose(procs);
    }
}

/* The CPU time the program has used so far, all its threads together, those
 * that have ended too: from its control group, or else in clock ticks'
 * resolution. */
static double process_cpu_ms(pid_t pid)
{
    if (cpu_group[0]) {
        char path[160];
        snprintf(path, sizeof path, "%s/cpuacct.usage", cpu_group);
        FILE* usage = fopen(path, "r");
        unsigned long long ns = 0;
        int read = usage && fscanf(usage, "%llu", &ns) == 1;
        if (usage)
            fclose(usage);
        if (read && ns > 0)
            return ns / 1e6;
    }
    double cpu_ms = -1;
    char path[64], line[512];
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    FILE* stat = fopen(path, "r");
    if (stat && fgets(line, sizeof line, stat)) {
        const char* after = strrchr(line, ')');
        unsigned long utime = 0, stime = 0;
        if (after && sscanf(after + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
                            &utime, &stime) == 2)
            cpu_ms = (utime + stime) * 1000.0 / (double)sysconf(_SC_CLK_TCK);
    }
    if (stat)
        fclose(stat);
    return cpu_ms;
}

/* The CPU time of the program's running threads so far, in ms, finely enough
 * to tell work from idling; -1 when it is gone. */
static double threads_cpu_ms(pid_t pid)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
    DIR* tasks = opendir(path);
    if (!tasks)
        return -1;
    double total = 0;
    struct dirent* task;
    while ((task = readdir(tasks))) {
        if (task->d_name[0] == '.')
            continue;
        char file[300];
        snprintf(file, sizeof file, "/proc/%d/task/%s/schedstat", (int)pid, task->d_name);
        FILE* f = fopen(file, "r");
        unsigned long long ns = 0;
        if (f && fscanf(f, "%llu", &ns) == 1)
            total += ns / 1e6;
        if (f)
            fclose(f);
    }
    closedir(tasks);
    return total;
}

int main(int argc, char** argv)
{
    if (argc < 5)
        fail("usage: startup_probe FOLDER TITLE [TITLE...] -- PROGRAM [ARGUMENTS...]");
    const char* folder = argv[1];
    struct target targets[max_titles];
    int count = 0, a = 2;
    for (; a < argc && strcmp(argv[a], "--") != 0; ++a) {
        if (count == max_titles)
            fail("too many titles");
        targets[count++] = (struct target){argv[a], -1, -1, 0, 0, 0, 0, 0};
    }
    if (a + 1 >= argc || count == 0)
        fail("usage: startup_probe FOLDER TITLE [TITLE...] -- PROGRAM [ARGUMENTS...]");
    char** command = argv + a + 1;

    xcb_connection_t* c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c))
        fail("cannot connect to the X server");
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damage || !damage->present)
        fail("the X server has no DAMAGE extension");
    free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), NULL));
    xcb_intern_atom_reply_t* utf8_name = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, strlen("_NET_WM_NAME"), "_NET_WM_NAME"), NULL);
    if (utf8_name)
        net_wm_name = utf8_name->atom;
    free(utf8_name);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_damage_damage_t tracker = xcb_generate_id(c);
    xcb_damage_create(c, tracker, root, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), NULL)); /* all of it in force */

    make_cpu_group();
    double start = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        join_cpu_group();
        dup2(STDERR_FILENO, STDOUT_FILENO); /* stdout carries only the figures */
        if (chdir(folder) != 0)
            _exit(126);
        execvp(command[0], command);
        _exit(127);
    }
    if (pid < 0)
        fail("cannot start the program");

    int painted = 0;
    struct pollfd pfd = {xcb_get_file_descriptor(c), POLLIN, 0};
    while (painted < count) {
        xcb_generic_event_t* e = xcb_poll_for_event(c);
        if (!e) {
            if (now_ms() - start > 60000 || waitpid(pid, NULL, WNOHANG) == pid)
                break;
            poll(&pfd, 1, 100);
            continue;
        }
        double t = now_ms() - start;
        int type = e->response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY) {
            xcb_window_t w = ((xcb_map_notify_event_t*)e)->window;
            for (int i = 0; i < count; ++i) {
                if (targets[i].mapped_ms >= 0 || !title_is(c, w, targets[i].title))
                    continue;
                xcb_get_geometry_reply_t* g =
                    xcb_get_geometry_reply(c, xcb_get_geometry(c, w), NULL);
                if (!g)
                    continue;
                targets[i] = (struct target){targets[i].title, t, -1, w, g->x, g->y,
                                             g->width, g->height};
                free(g);
                break;
            }
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            xcb_rectangle_t r = ((xcb_damage_notify_event_t*)e)->area;
            for (int i = 0; i < count; ++i) {
                struct target* w = &targets[i];
                if (w->mapped_ms < 0 || w->painted_ms >= 0)
                    continue;
                if (r.x < w->x + w->width && w->x < r.x + r.width && r.y < w->y + w->height &&
                    w->y < r.y + r.height) {
                    w->painted_ms = t;
                    ++painted;
                }
            }
        }
        free(e);
    }

    long peak_kib = read_peak_kib(pid);
    double cpu_ms = process_cpu_ms(pid);

    /* Idle: less than 0.05 ms of CPU a millisecond (timers, the X thread). */
    double settled = now_ms() - start, last_cpu = threads_cpu_ms(pid);

    while (painted == count && last_cpu >= 0 && now_ms() - start - settled < 300 &&
           now_ms() - start < 120000) {
        const struct timespec a_millisecond = {0, 1000000};
        nanosleep(&a_millisecond, NULL);
        double cpu = threads_cpu_ms(pid);
        if (cpu < 0)
            break;
        double t = now_ms() - start;
        if (cpu - last_cpu > 0.05 * (t - settled > 1 ? 1 : t - settled) + 0.05) {
            settled = t;
        }
        last_cpu = cpu;
    }
    long settled_peak_kib = read_peak_kib(pid);
    double settled_cpu = process_cpu_ms(pid);
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    if (cpu_group[0])
        rmdir(cpu_group);

    for (int i = 0; i < count; ++i)
        printf("%.2f %.2f\n", targets[i].mapped_ms, targets[i].painted_ms);
    printf("peak_kib %ld\n", peak_kib);
    printf("cpu_ms %.1f\n", cpu_ms);
    printf("settled_ms %.2f\n", settled);
    printf("settled_peak_kib %ld\n", settled_peak_kib);
    printf("settled_cpu_ms %.1f\n", settled_cpu);
    return painted == count ? 0 : 1;
}
